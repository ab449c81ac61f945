// In-process clipboard and movable memory with Windows' observable behaviour.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/clipboard_control.h"

namespace {

struct Block {
    std::unique_ptr<unsigned char[]> bytes;
    SIZE_T size = 0;
    int locks = 0;
    bool ownedByClipboard = false;
};

struct Fault {
    int skip = 0;
    int count = 0;
};

constexpr int kOpCount = static_cast<int>(standin::Op::CreateWindow) + 1;

// Starts 1000 ms before the count wraps, so that waiting across the wrap is
// what every test exercises.
constexpr DWORD kClockStart = 0xFFFFFFFFu - 999u;

struct State {
    // Handles are the Block addresses; the map is the authority on liveness.
    std::map<HGLOBAL, std::unique_ptr<Block>> blocks;
    // In the order set; a null handle is a format promised for rendering.
    std::vector<std::pair<UINT, HGLOBAL>> clipboard;
    // CF_TEXT made from CF_UNICODETEXT, and CF_UNICODETEXT made from
    // CF_TEXT; owned by the clipboard.
    HGLOBAL synthesizedText = nullptr;
    HGLOBAL synthesizedUnicode = nullptr;
    std::map<std::string, UINT> registered;
    bool open = false;
    HWND openedBy = nullptr;
    HWND owner = nullptr;
    bool emptiedWithoutOwner = false;
    bool rendering = false;
    DWORD sequence = 1;
    Fault faults[kOpCount];
    long operations = 0;
    long failAtOperation = 0;
    bool injected = false;
    standin::Op injectedOp = standin::Op::OpenClipboard;
    long emptied = 0;

    DWORD clock = kClockStart;
    DWORD heldUntil = kClockStart;
    bool held = false;
    DWORD slept = 0;
    std::function<void(int)> beforeOpen;
    int openCalls = 0;
    std::function<void(UINT)> renderer;
    long renders = 0;

    bool activeWindow = false;
    std::set<HWND> windows;
    std::uintptr_t nextWindow = 0x10000;
};

State& state() {
    static State s;
    return s;
}

// Held by every call for its whole length. Windows' memory and clipboard
// calls may come from any thread: a plug-in makes blocks on threads of its
// own. Recursive, because the owner's rendering and the hook that stands
// for another program call back in.
class StateLock {
  public:
    StateLock() : lock_(mutex()) {}

  private:
    static std::recursive_mutex& mutex() {
        static std::recursive_mutex m;
        return m;
    }
    std::lock_guard<std::recursive_mutex> lock_;
};

constexpr UINT kFirstRegisteredFormat = 0xC000;

Block* find(HGLOBAL handle) {
    auto it = state().blocks.find(handle);
    return it == state().blocks.end() ? nullptr : it->second.get();
}

// Counts one fallible operation and answers whether it must fail.
bool shouldFail(standin::Op op) {
    State& s = state();
    ++s.operations;
    if (s.failAtOperation != 0 && s.operations == s.failAtOperation) {
        s.injected = true;
        s.injectedOp = op;
        return true;
    }
    Fault& f = s.faults[static_cast<int>(op)];
    if (f.count <= 0) return false;
    if (f.skip > 0) {
        --f.skip;
        return false;
    }
    --f.count;
    s.injected = true;
    s.injectedOp = op;
    return true;
}

void freeBlock(HGLOBAL handle) {
    if (handle != nullptr) state().blocks.erase(handle);
}

void dropSynthesizedText() {
    freeBlock(state().synthesizedText);
    state().synthesizedText = nullptr;
    freeBlock(state().synthesizedUnicode);
    state().synthesizedUnicode = nullptr;
}

bool heldByAnotherProgram() {
    State& s = state();
    if (s.held && static_cast<std::int32_t>(s.clock - s.heldUntil) >= 0) s.held = false;
    return s.held;
}

// A block the clipboard owns, for what it makes itself; with no bytes given,
// left for the caller to fill.
HGLOBAL clipboardBlock(const void* bytes, SIZE_T size) {
    auto block = std::make_unique<Block>();
    block->bytes.reset(new unsigned char[size == 0 ? 1 : size]);
    if (size > 0 && bytes != nullptr) std::memcpy(block->bytes.get(), bytes, size);
    block->size = size;
    block->ownedByClipboard = true;
    HGLOBAL handle = block.get();
    state().blocks.emplace(handle, std::move(block));
    return handle;
}

std::vector<std::pair<UINT, HGLOBAL>>::iterator heldFormat(UINT format) {
    auto& cb = state().clipboard;
    for (auto it = cb.begin(); it != cb.end(); ++it)
        if (it->first == format) return it;
    return cb.end();
}

}  // namespace

extern "C" {

HWND GetActiveWindow(void) {
    const StateLock lock;
    return state().activeWindow ? reinterpret_cast<HWND>(std::uintptr_t{0x4000}) : nullptr;
}

BOOL OpenClipboard(HWND owner) {
    const StateLock lock;
    State& s = state();
    if (s.beforeOpen) {
        // The hook is another program: its own calls do not call it again.
        std::function<void(int)> hook = std::move(s.beforeOpen);
        s.beforeOpen = nullptr;
        hook(++s.openCalls);
        if (!s.beforeOpen) s.beforeOpen = std::move(hook);
    }
    if (shouldFail(standin::Op::OpenClipboard)) return FALSE;
    if (s.open || heldByAnotherProgram()) return FALSE;
    s.open = true;
    s.openedBy = owner;
    return TRUE;
}

BOOL CloseClipboard(void) {
    const StateLock lock;
    State& s = state();
    if (!s.open) return FALSE;
    s.open = false;
    s.openedBy = nullptr;
    s.emptiedWithoutOwner = false;
    return TRUE;
}

BOOL EmptyClipboard(void) {
    const StateLock lock;
    State& s = state();
    if (!s.open) return FALSE;
    if (shouldFail(standin::Op::EmptyClipboard)) return FALSE;
    for (auto& entry : s.clipboard) freeBlock(entry.second);
    s.clipboard.clear();
    dropSynthesizedText();
    s.owner = s.openedBy;
    s.emptiedWithoutOwner = s.openedBy == nullptr;
    ++s.sequence;
    ++s.emptied;
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    const StateLock lock;
    // Windows answers this one without the clipboard being open.
    auto& cb = state().clipboard;
    if (heldFormat(format) != cb.end()) return TRUE;
    if (format == CF_TEXT && heldFormat(CF_UNICODETEXT) != cb.end()) return TRUE;
    return format == CF_UNICODETEXT && heldFormat(CF_TEXT) != cb.end() ? TRUE : FALSE;
}

namespace {

HANDLE renderedData(UINT format) {
    State& s = state();
    auto it = heldFormat(format);
    if (it == s.clipboard.end()) return nullptr;
    if (it->second == nullptr && s.renderer) {
        ++s.renders;
        s.rendering = true;
        s.renderer(format);
        s.rendering = false;
        it = heldFormat(format);  // rendering may have moved the entries
        if (it == s.clipboard.end()) return nullptr;
    }
    return it->second;
}

// CF_TEXT as Windows makes it from CF_UNICODETEXT: up to the first NUL, in
// the ANSI code page, NUL-terminated.
HANDLE synthesizedText() {
    State& s = state();
    if (s.synthesizedText != nullptr) return s.synthesizedText;
    HANDLE unicode = renderedData(CF_UNICODETEXT);
    Block* source = find(unicode);
    if (source == nullptr) return nullptr;
    const WCHAR* wide = reinterpret_cast<const WCHAR*>(source->bytes.get());
    int units = 0;
    const int capacity = static_cast<int>(source->size / sizeof(WCHAR));
    while (units < capacity && wide[units] != 0) ++units;
    std::string bytes;
    if (units > 0) {
        const int n = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
        bytes.resize(static_cast<std::size_t>(n));
        WideCharToMultiByte(CP_ACP, 0, wide, units, &bytes[0], n, nullptr, nullptr);
    }
    s.synthesizedText = clipboardBlock(bytes.c_str(), bytes.size() + 1);
    return s.synthesizedText;
}

// CF_UNICODETEXT as Windows makes it from CF_TEXT: up to the first NUL,
// from the ANSI code page, NUL-terminated.
HANDLE synthesizedUnicode() {
    State& s = state();
    if (s.synthesizedUnicode != nullptr) return s.synthesizedUnicode;
    Block* source = find(renderedData(CF_TEXT));
    if (source == nullptr) return nullptr;
    const char* bytes = reinterpret_cast<const char*>(source->bytes.get());
    const void* nul = std::memchr(bytes, 0, source->size);
    const std::size_t cb = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes) : source->size;
    if (cb > 0x7FFFFFFF) return nullptr;
    const int n = static_cast<int>(cb);
    // Converted straight into the block, as Windows does.
    const int units = n > 0 ? MultiByteToWideChar(CP_ACP, 0, bytes, n, nullptr, 0) : 0;
    s.synthesizedUnicode = clipboardBlock(nullptr, (static_cast<SIZE_T>(units) + 1) * sizeof(WCHAR));
    WCHAR* wide = reinterpret_cast<WCHAR*>(find(s.synthesizedUnicode)->bytes.get());
    if (units > 0) MultiByteToWideChar(CP_ACP, 0, bytes, n, wide, units);
    wide[units] = 0;
    return s.synthesizedUnicode;
}

}  // namespace

HANDLE GetClipboardData(UINT format) {
    const StateLock lock;
    State& s = state();
    if (!s.open) return nullptr;
    if (format == CF_TEXT && heldFormat(CF_TEXT) == s.clipboard.end()) return synthesizedText();
    if (format == CF_UNICODETEXT && heldFormat(CF_UNICODETEXT) == s.clipboard.end()) return synthesizedUnicode();
    return renderedData(format);
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    const StateLock lock;
    State& s = state();
    Block* block = find(data);
    // The owner renders without opening the clipboard.
    if (!s.open && !s.rendering) return nullptr;
    if (data != nullptr && block == nullptr) return nullptr;
    if (shouldFail(standin::Op::SetClipboardData)) return nullptr;
    if (s.emptiedWithoutOwner && !s.rendering) return nullptr;
    if (format == CF_TEXT || format == CF_UNICODETEXT) dropSynthesizedText();
    auto it = heldFormat(format);
    if (it != s.clipboard.end()) {
        if (it->second != data) freeBlock(it->second);
        it->second = data;
    } else {
        s.clipboard.emplace_back(format, data);
    }
    if (block != nullptr) block->ownedByClipboard = true;
    ++s.sequence;
    return data;
}

DWORD GetClipboardSequenceNumber(void) {
    const StateLock lock;
    return state().sequence;
}

HWND CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU, HINSTANCE, LPVOID) {
    const StateLock lock;
    if (shouldFail(standin::Op::CreateWindow)) return nullptr;
    State& s = state();
    HWND window = reinterpret_cast<HWND>(s.nextWindow);
    s.nextWindow += 0x10;
    s.windows.insert(window);
    return window;
}

BOOL DestroyWindow(HWND window) {
    const StateLock lock;
    State& s = state();
    if (s.windows.erase(window) == 0) return FALSE;
    // Windows keeps the clipboard's contents when its owner goes.
    if (s.owner == window) s.owner = nullptr;
    return TRUE;
}

void Sleep(DWORD milliseconds) {
    const StateLock lock;
    state().clock += milliseconds;
    state().slept += milliseconds;
}

DWORD GetTickCount(void) {
    const StateLock lock;
    return state().clock;
}

UINT RegisterClipboardFormatA(LPCSTR name) {
    const StateLock lock;
    if (name == nullptr || *name == '\0') return 0;
    auto& reg = state().registered;
    auto it = reg.find(name);
    if (it != reg.end()) return it->second;
    UINT format = kFirstRegisteredFormat + static_cast<UINT>(reg.size());
    reg.emplace(name, format);
    return format;
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
    const StateLock lock;
    if (shouldFail(standin::Op::GlobalAlloc)) return nullptr;
    auto block = std::make_unique<Block>();
    // Zero-size blocks still get storage, so that every handle is distinct.
    block->bytes.reset(new (std::nothrow) unsigned char[bytes == 0 ? 1 : bytes]);
    if (!block->bytes) return nullptr;
    if (flags & GMEM_ZEROINIT) std::memset(block->bytes.get(), 0, bytes);
    block->size = bytes;
    HGLOBAL handle = block.get();
    state().blocks.emplace(handle, std::move(block));
    return handle;
}

LPVOID GlobalLock(HGLOBAL handle) {
    const StateLock lock;
    if (shouldFail(standin::Op::GlobalLock)) return nullptr;
    Block* block = find(handle);
    if (block == nullptr) return nullptr;
    ++block->locks;
    return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL handle) {
    const StateLock lock;
    Block* block = find(handle);
    if (block == nullptr || block->locks == 0) return FALSE;
    --block->locks;
    return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
    const StateLock lock;
    Block* block = find(handle);
    if (block == nullptr || block->ownedByClipboard) return handle;  // Windows: failure answers the handle
    freeBlock(handle);
    return nullptr;
}

SIZE_T GlobalSize(HGLOBAL handle) {
    const StateLock lock;
    Block* block = find(handle);
    return block == nullptr ? 0 : block->size;
}

}  // extern "C"

namespace standin {

void reset() {
    const StateLock lock;
    State& s = state();
    for (auto& entry : s.clipboard) freeBlock(entry.second);
    s.clipboard.clear();
    dropSynthesizedText();
    s.open = false;
    s.openedBy = nullptr;
    s.owner = nullptr;
    s.emptiedWithoutOwner = false;
    s.rendering = false;
    s.held = false;
    s.slept = 0;
    s.beforeOpen = nullptr;
    s.openCalls = 0;
    s.renderer = nullptr;
    s.renders = 0;
    for (Fault& f : s.faults) f = Fault{};
    s.operations = 0;
    s.failAtOperation = 0;
    s.injected = false;
    s.emptied = 0;
}

std::vector<UINT> formats() {
    const StateLock lock;
    std::vector<UINT> out;
    for (auto& entry : state().clipboard) out.push_back(entry.first);
    return out;
}

std::string formatName(UINT format) {
    const StateLock lock;
    for (auto& entry : state().registered)
        if (entry.second == format) return entry.first;
    return "";
}

std::vector<unsigned char> data(UINT format) {
    const StateLock lock;
    auto it = heldFormat(format);
    if (it == state().clipboard.end()) return {};
    Block* block = find(it->second);
    if (block == nullptr) return {};  // promised, not rendered
    return std::vector<unsigned char>(block->bytes.get(), block->bytes.get() + block->size);
}

bool isOpen() {
    const StateLock lock;
    return state().open;
}

long liveBlocks() {
    const StateLock lock;
    return static_cast<long>(state().blocks.size());
}

long orphanBlocks() {
    const StateLock lock;
    long n = 0;
    for (auto& entry : state().blocks)
        if (!entry.second->ownedByClipboard) ++n;
    return n;
}

void failNext(Op op, int skip, int count) {
    const StateLock lock;
    state().faults[static_cast<int>(op)] = Fault{skip, count};
}

long operationCount() {
    const StateLock lock;
    return state().operations;
}

void failOperation(long k) {
    const StateLock lock;
    state().operations = 0;
    state().failAtOperation = k;
    state().injected = false;
    state().emptied = 0;
}

bool injectedFailureHappened() {
    const StateLock lock;
    return state().injected;
}

long timesEmptied() {
    const StateLock lock;
    return state().emptied;
}

void holdClipboard(DWORD milliseconds) {
    const StateLock lock;
    state().held = true;
    state().heldUntil = state().clock + milliseconds;
}

Op lastInjectedOp() {
    const StateLock lock;
    return state().injectedOp;
}

DWORD sleptMilliseconds() {
    const StateLock lock;
    return state().slept;
}

void beforeOpenClipboard(std::function<void(int)> hook) {
    const StateLock lock;
    state().beforeOpen = std::move(hook);
    state().openCalls = 0;
}

void setRenderer(std::function<void(UINT)> renderer) { state().renderer = std::move(renderer); }

long renderRequests() {
    const StateLock lock;
    return state().renders;
}

void setActiveWindow(bool present) {
    const StateLock lock;
    state().activeWindow = present;
}

long liveWindows() {
    const StateLock lock;
    return static_cast<long>(state().windows.size());
}

HWND clipboardOwner() {
    const StateLock lock;
    return state().owner;
}

}  // namespace standin
