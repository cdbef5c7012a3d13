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

// Whether the image has a TLS directory, for whose callbacks the loader keeps thread
// notifications on.
bool HasTlsDirectory(HMODULE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_TLS].VirtualAddress != 0;
}

// The 64-bit DLL keeps the TLS directory of its statically linked thread runtime; the
// 32-bit one has none (see src/platform/win32/library_entry_win32.cpp).
#if defined(_WIN64)
constexpr bool kKeepsTlsDirectory = true;
#else
constexpr bool kKeepsTlsDirectory = false;
#endif

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
// without a TLS directory only: the 32-bit DLL gets them switched off; the 64-bit one
// keeps receiving them, and its entry point ignores them.
TEST_F(LibraryEntryWin32, AttachSwitchesOffThreadNotificationsUnlessTheDllHasTls) {
    const LoaderModuleEntry* entry = FindLoaderEntry(module_);
    ASSERT_NE(entry, nullptr);
    ASSERT_EQ(entry->dllBase, static_cast<void*>(module_));
    EXPECT_EQ(HasTlsDirectory(module_), kKeepsTlsDirectory);
    const bool notificationsOff = (entry->flags & kNoThreadNotifications) != 0;
    EXPECT_EQ(notificationsOff, !kKeepsTlsDirectory);
}

}  // namespace
#endif
