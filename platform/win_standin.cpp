// In-process clipboard and movable memory with Windows' observable behaviour.
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
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

struct State {
    // Handles are the Block addresses; the map is the authority on liveness.
    std::map<HGLOBAL, std::unique_ptr<Block>> blocks;
    std::vector<std::pair<UINT, HGLOBAL>> clipboard;  // in the order set
    std::map<std::string, UINT> registered;
    bool open = false;
    Fault faults[3];
    long operations = 0;
    long failAtOperation = 0;
    bool injected = false;
    long emptied = 0;
};

State& state() {
    static State s;
    return s;
}

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
    return true;
}

void freeBlock(HGLOBAL handle) { state().blocks.erase(handle); }

std::vector<std::pair<UINT, HGLOBAL>>::iterator heldFormat(UINT format) {
    auto& cb = state().clipboard;
    for (auto it = cb.begin(); it != cb.end(); ++it)
        if (it->first == format) return it;
    return cb.end();
}

}  // namespace

extern "C" {

HWND GetActiveWindow(void) { return nullptr; }

BOOL OpenClipboard(HWND) {
    if (shouldFail(standin::Op::OpenClipboard)) return FALSE;
    if (state().open) return FALSE;
    state().open = true;
    return TRUE;
}

BOOL CloseClipboard(void) {
    if (!state().open) return FALSE;
    state().open = false;
    return TRUE;
}

BOOL EmptyClipboard(void) {
    State& s = state();
    if (!s.open) return FALSE;
    for (auto& entry : s.clipboard) freeBlock(entry.second);
    s.clipboard.clear();
    ++s.emptied;
    return TRUE;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    // Windows answers this one without the clipboard being open.
    return heldFormat(format) != state().clipboard.end() ? TRUE : FALSE;
}

HANDLE GetClipboardData(UINT format) {
    if (!state().open) return nullptr;
    auto it = heldFormat(format);
    return it == state().clipboard.end() ? nullptr : it->second;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    State& s = state();
    Block* block = find(data);
    if (!s.open || block == nullptr) return nullptr;
    auto it = heldFormat(format);
    if (it != s.clipboard.end()) {
        if (it->second != data) freeBlock(it->second);
        it->second = data;
    } else {
        s.clipboard.emplace_back(format, data);
    }
    block->ownedByClipboard = true;
    return data;
}

UINT RegisterClipboardFormatA(LPCSTR name) {
    if (name == nullptr || *name == '\0') return 0;
    auto& reg = state().registered;
    auto it = reg.find(name);
    if (it != reg.end()) return it->second;
    UINT format = kFirstRegisteredFormat + static_cast<UINT>(reg.size());
    reg.emplace(name, format);
    return format;
}

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
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
    if (shouldFail(standin::Op::GlobalLock)) return nullptr;
    Block* block = find(handle);
    if (block == nullptr) return nullptr;
    ++block->locks;
    return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL handle) {
    Block* block = find(handle);
    if (block == nullptr || block->locks == 0) return FALSE;
    --block->locks;
    return block->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
    Block* block = find(handle);
    if (block == nullptr || block->ownedByClipboard) return handle;  // Windows: failure answers the handle
    freeBlock(handle);
    return nullptr;
}

SIZE_T GlobalSize(HGLOBAL handle) {
    Block* block = find(handle);
    return block == nullptr ? 0 : block->size;
}

}  // extern "C"

namespace standin {

void reset() {
    State& s = state();
    for (auto& entry : s.clipboard) freeBlock(entry.second);
    s.clipboard.clear();
    s.open = false;
    for (Fault& f : s.faults) f = Fault{};
    s.operations = 0;
    s.failAtOperation = 0;
    s.injected = false;
    s.emptied = 0;
}

std::vector<UINT> formats() {
    std::vector<UINT> out;
    for (auto& entry : state().clipboard) out.push_back(entry.first);
    return out;
}

std::string formatName(UINT format) {
    for (auto& entry : state().registered)
        if (entry.second == format) return entry.first;
    return "";
}

std::vector<unsigned char> data(UINT format) {
    auto it = heldFormat(format);
    if (it == state().clipboard.end()) return {};
    Block* block = find(it->second);
    return std::vector<unsigned char>(block->bytes.get(), block->bytes.get() + block->size);
}

bool isOpen() { return state().open; }

long liveBlocks() { return static_cast<long>(state().blocks.size()); }

long orphanBlocks() {
    long n = 0;
    for (auto& entry : state().blocks)
        if (!entry.second->ownedByClipboard) ++n;
    return n;
}

void failNext(Op op, int skip, int count) { state().faults[static_cast<int>(op)] = Fault{skip, count}; }

long operationCount() { return state().operations; }

void failOperation(long k) {
    state().operations = 0;
    state().failAtOperation = k;
    state().injected = false;
    state().emptied = 0;
}

bool injectedFailureHappened() { return state().injected; }

long timesEmptied() { return state().emptied; }

}  // namespace standin
