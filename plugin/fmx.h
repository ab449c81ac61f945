// The plug-in's view of the host library: thin classes whose methods each
// forward to one FM_ function and raise a standard exception when the
// library reports a failure, and the owning wrappers for host objects.
#pragma once

#include <utility>

#include "host/fmx_extern.h"

namespace fmx {

class Text {
  public:
    void Assign(const char* s, int32 encoding = kEncoding_Native) {
        _fmxcpt x;
        FM_Text_Assign(this, s, encoding, &x);
        x.Check();
    }
    void AssignUnicode(const unichar16* s) {
        _fmxcpt x;
        FM_Text_AssignUnicode(this, s, &x);
        x.Check();
    }
    uint32 GetSize() const {
        _fmxcpt x;
        uint32 size = FM_Text_GetSize(this, &x);
        x.Check();
        return size;
    }
    // Answers the first match at or after `position`; a failed find answers
    // a position from which DeleteText removes nothing.
    uint32 Find(const Text& pattern, uint32 position) const {
        _fmxcpt x;
        uint32 at = FM_Text_Find(this, &pattern, position, &x);
        x.Check();
        return at;
    }
    void DeleteText(uint32 position, uint32 amount) {
        _fmxcpt x;
        FM_Text_DeleteText(this, position, amount, &x);
        x.Check();
    }

    Text() = delete;
};

class Locale {
  public:
    Locale() = delete;
};

class QuadChar {
  public:
    QuadChar() = delete;
};

class Data {
  public:
    errcode SetAsText(const Text& text, const Locale& locale, int32 type = kDTText) {
        _fmxcpt x;
        errcode err = FM_Data_SetAsText(this, &text, &locale, type, &x);
        x.Check();
        return err;
    }
    Data() = delete;
};

class DataVect {
  public:
    DataVect() = delete;
};

class ExprEnv {
  public:
    static errcode RegisterExternalFunction(const QuadChar& pluginId, int16 functionId, const Text& name,
                                            const Text& prototype, int16 minArgs, int16 maxArgs, uint32 flags,
                                            ExtPluginType function) {
        _fmxcpt x;
        errcode err = FM_ExprEnv_RegisterExternalFunction(&pluginId, functionId, &name, &prototype, minArgs,
                                                          maxArgs, flags, function, &x);
        x.Check();
        return err;
    }
    static errcode UnRegisterExternalFunction(const QuadChar& pluginId, int16 functionId) {
        _fmxcpt x;
        errcode err = FM_ExprEnv_UnRegisterExternalFunction(&pluginId, functionId, &x);
        x.Check();
        return err;
    }
    ExprEnv() = delete;
};

// Owns one host object and hands it to the library's delete. The owner is a
// base class so that it already holds the object when a derived
// constructor's check throws, and releases it then.
template <typename T, void (*Delete)(T*, _fmxcpt*)>
class HostOwner {
  public:
    HostOwner(const HostOwner&) = delete;
    HostOwner& operator=(const HostOwner&) = delete;
    HostOwner(HostOwner&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    // Assignment moves ownership; the object held before is deleted.
    HostOwner& operator=(HostOwner&& other) noexcept {
        if (this != &other) {
            release();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~HostOwner() { release(); }

    T* get() const { return p_; }
    T& operator*() const { return *p_; }
    T* operator->() const { return p_; }

  protected:
    explicit HostOwner(T* p) : p_(p) {}

  private:
    void release() noexcept {
        if (p_ == nullptr) return;
        _fmxcpt x;
        Delete(p_, &x);  // a failure to delete cannot be acted on
        p_ = nullptr;
    }
    T* p_;
};

class TextAutoPtr : public HostOwner<Text, FM_Text_Delete> {
  public:
    TextAutoPtr() : TextAutoPtr(Make()) {}

  private:
    struct Made {
        Text* p;
        _fmxcpt x;
    };
    static Made Make() {
        Made m;
        m.p = FM_Text_Constructor1(&m.x);
        return m;
    }
    explicit TextAutoPtr(Made m) : HostOwner(m.p) { m.x.Check(); }
};

class LocaleAutoPtr : public HostOwner<Locale, FM_Locale_Delete> {
  public:
    explicit LocaleAutoPtr(int32 type = kType_System) : LocaleAutoPtr(Make(type)) {}

  private:
    struct Made {
        Locale* p;
        _fmxcpt x;
    };
    static Made Make(int32 type) {
        Made m;
        m.p = FM_Locale_Constructor1(type, &m.x);
        return m;
    }
    explicit LocaleAutoPtr(Made m) : HostOwner(m.p) { m.x.Check(); }
};

class QuadCharAutoPtr : public HostOwner<QuadChar, FM_QuadChar_Delete> {
  public:
    QuadCharAutoPtr(char c0, char c1, char c2, char c3) : QuadCharAutoPtr(Make(c0, c1, c2, c3)) {}

  private:
    struct Made {
        QuadChar* p;
        _fmxcpt x;
    };
    static Made Make(char c0, char c1, char c2, char c3) {
        Made m;
        m.p = FM_QuadChar_Constructor2(c0, c1, c2, c3, &m.x);
        return m;
    }
    explicit QuadCharAutoPtr(Made m) : HostOwner(m.p) { m.x.Check(); }
};

}  // namespace fmx
