// The DLL entry point of tessera.dll, observed through the Windows loader.
#if defined(_WIN32)
#include <windows.h>
#include <winternl.h>

#include <gtest/gtest.h>

namespace {

// The leading fields of the loader's per-module record, as laid out by the system loader
// on 32- and 64-bit Windows (and by Wine). Only flags is read.
struct LoaderModuleEntry {
    LIST_ENTRY inLoadOrderLinks;
    LIST_ENTRY inMemoryOrderLinks;
    LIST_ENTRY inInitializationOrderLinks;
    void* dllBase;
    void* entryPoint;
    ULONG sizeOfImage;
    UNICODE_STRING fullDllName;
    UNICODE_STRING baseDllName;
    ULONG flags;
};

// Set in LoaderModuleEntry::flags when DisableThreadLibraryCalls takes effect.
constexpr ULONG kNoThreadNotifications = 0x00040000;

using FindEntryForAddress = LONG(NTAPI*)(void* address, LoaderModuleEntry** entry);

const LoaderModuleEntry* FindLoaderEntry(HMODULE module) {
    FARPROC proc = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "LdrFindEntryForAddress");
    if (proc == nullptr) return nullptr;
    auto find = reinterpret_cast<FindEntryForAddress>(reinterpret_cast<void (*)()>(proc));
    LoaderModuleEntry* entry = nullptr;
    return find(module, &entry) == 0 ? entry : nullptr;
}

// Whether the image has static thread-local storage: a TLS directory with data or
// callbacks. The MinGW-w64 runtime gives every DLL one (its TLS callbacks run the
// per-thread clean-up of thread_local objects and of the thread library).
bool HasStaticTls(HMODULE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS];
    if (entry.VirtualAddress == 0) return false;
    const auto* tls = reinterpret_cast<const IMAGE_TLS_DIRECTORY*>(base + entry.VirtualAddress);
    return tls->EndAddressOfRawData != tls->StartAddressOfRawData || tls->SizeOfZeroFill != 0 ||
           tls->AddressOfCallBacks != 0;
}

class LibraryEntryWin32 : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetModuleHandleW(L"tessera.dll"), nullptr) << "tessera.dll already loaded";
        module_ = LoadLibraryW(L"tessera.dll");
        ASSERT_NE(module_, nullptr) << "LoadLibrary failed, error " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(LibraryEntryWin32, DetachReportsSuccessAndUnloads) {
    EXPECT_TRUE(FreeLibrary(module_));
    module_ = nullptr;
    EXPECT_EQ(GetModuleHandleW(L"tessera.dll"), nullptr);
}

// Attach asks the loader to stop thread notifications. The loader grants that to a DLL
// without static TLS only; otherwise the notifications keep coming and the entry point
// ignores them.
TEST_F(LibraryEntryWin32, AttachSwitchesOffThreadNotificationsWhereTheLoaderAllows) {
    const LoaderModuleEntry* entry = FindLoaderEntry(module_);
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->dllBase, static_cast<void*>(module_));
    const bool notificationsOff = (entry->flags & kNoThreadNotifications) != 0;
    EXPECT_EQ(notificationsOff, !HasStaticTls(module_));
}

}  // namespace
#endif
