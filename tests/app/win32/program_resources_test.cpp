// The manifest and version resource of the built Windows programs, read from their executables
// as the system reads them: the manifest must make an activation context that sends the common
// controls to version 6, and the version numbers must be the project's.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace {

struct Program {
    const wchar_t* path;
    const wchar_t* fileName;
};

const Program kPrograms[] = {
    {L"" KESTO_DESIGN_EXE, L"kesto-design.exe"},
    {L"" KESTO_DECORATE_EXE, L"kesto-decorate.exe"},
};

struct LibraryRelease {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryRelease>;

// The program's manifest resource (id 1, the one the loader applies to a process), as text.
std::string Manifest(const wchar_t* program) {
    const Library module(LoadLibraryExW(program, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) {
        return {};
    }
    HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    HGLOBAL loaded = found != nullptr ? LoadResource(module.get(), found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return std::string(static_cast<const char*>(bytes), SizeofResource(module.get(), found));
}

// The activation context of the program's manifest, released when the object goes away.
class ProgramContext {
  public:
    explicit ProgramContext(const wchar_t* program) {
        ACTCTXW description{};
        description.cbSize = sizeof(description);
        description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = program;
        description.lpResourceName = MAKEINTRESOURCEW(1);
        context_ = CreateActCtxW(&description);
        active_ = context_ != INVALID_HANDLE_VALUE && ActivateActCtx(context_, &cookie_);
    }
    ~ProgramContext() {
        if (active_) {
            DeactivateActCtx(0, cookie_);
        }
        if (context_ != INVALID_HANDLE_VALUE) {
            ReleaseActCtx(context_);
        }
    }
    ProgramContext(const ProgramContext&) = delete;
    ProgramContext& operator=(const ProgramContext&) = delete;

    bool active() const { return active_; }

  private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// Whether the active context sends comctl32.dll to a side-by-side assembly (the common controls
// of version 6 are one) instead of the system's version 5.
bool CommonControlsRedirected() {
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    return FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                    L"comctl32.dll", &data) != FALSE;
}

struct VersionResource {
    std::vector<unsigned char> data;

    explicit VersionResource(const wchar_t* program) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(program, &ignored);
        data.resize(size);
        if (size == 0 || !GetFileVersionInfoW(program, 0, size, data.data())) {
            data.clear();
        }
    }

    const VS_FIXEDFILEINFO* Fixed() {
        void* value = nullptr;
        UINT length = 0;
        if (data.empty() || !VerQueryValueW(data.data(), L"\\", &value, &length) ||
            length < sizeof(VS_FIXEDFILEINFO)) {
            return nullptr;
        }
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }

    // A text of the Simplified Chinese string table.
    std::wstring Text(const std::wstring& name) {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring key = L"\\StringFileInfo\\080404b0\\" + name;
        if (data.empty() || !VerQueryValueW(data.data(), key.c_str(), &value, &length) ||
            length == 0) {
            return {};
        }
        return std::wstring(static_cast<const wchar_t*>(value), length - 1);
    }
};

TEST(ProgramResourcesTest, ManifestAsksForCommonControls6PerMonitorDpiAndTheUsersRights) {
    for (const Program& program : kPrograms) {
        const std::string manifest = Manifest(program.path);
        ASSERT_FALSE(manifest.empty()) << "no manifest in " << testing::PrintToString(program.path);
        EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
        EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
                  std::string::npos);
        EXPECT_NE(manifest.find(">PerMonitorV2</dpiAwareness>"), std::string::npos);
        EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    }
}

TEST(ProgramResourcesTest, ManifestSendsTheCommonControlsToVersion6) {
    for (const Program& program : kPrograms) {
        const ProgramContext context(program.path);
        ASSERT_TRUE(context.active()) << "the manifest of " << testing::PrintToString(program.path)
                                      << " makes no activation context";
        EXPECT_TRUE(CommonControlsRedirected()) << testing::PrintToString(program.path);
    }
}

TEST(ProgramResourcesTest, VersionResourceCarriesTheProjectVersion) {
    for (const Program& program : kPrograms) {
        VersionResource version(program.path);
        const VS_FIXEDFILEINFO* fixed = version.Fixed();
        ASSERT_NE(fixed, nullptr) << testing::PrintToString(program.path);
        EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(KESTO_VERSION_MINOR, KESTO_VERSION_MAJOR));
        EXPECT_EQ(HIWORD(fixed->dwFileVersionLS), KESTO_VERSION_PATCH);
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(version.Text(L"ProductVersion"), L"" KESTO_VERSION);
        EXPECT_EQ(version.Text(L"FileVersion"), L"" KESTO_VERSION);
        EXPECT_EQ(version.Text(L"OriginalFilename"), program.fileName);
        EXPECT_FALSE(version.Text(L"FileDescription").empty());
    }
}

}  // namespace
