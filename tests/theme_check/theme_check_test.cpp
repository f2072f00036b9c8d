#include <gtest/gtest.h>

#include "test_files.h"
#include "theme_check.h"

namespace {

// A 24-bit uncompressed BMP of the given size, every pixel the same grey.
std::string Bitmap24(int width, int height)
{
    const DWORD stride = (width * 3 + 3) & ~3, pixels = stride * height;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixels;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    return bytes.append(pixels, '\x80');
}

// A copy of the bundled default theme to break; its theme file gives a 30-pixel bar,
// 24-pixel task buttons, a 100-pixel start button, an 80-pixel clock and a 400 x 390 menu.
class ThemeCheckTest : public ::testing::Test {
protected:
    void SetUp() override { CopyTree(SourcePath(L"themes\\default"), home.path()); }

    std::wstring Bitmap(const std::wstring& name) const { return home / (L"theme\\Lagoon\\" + name + L".bmp"); }

    int Check()
    {
        int result = CheckTheme(home.path().c_str(), &report);
        for (const ThemeFinding& finding : report.findings) lines.push_back(finding.line);
        return result;
    }

    TempDirectory home;
    ThemeReport report;
    std::vector<std::wstring> lines;
};

TEST_F(ThemeCheckTest, DefaultThemePasses)
{
    EXPECT_EQ(0, Check());
    EXPECT_TRUE(report.findings.empty()) << ToUtf8(report.findings.empty() ? L"" : report.findings[0].line);
    // 33 theme bitmaps and the user picture.
    EXPECT_EQ(34, report.bitmapsChecked);
    EXPECT_EQ(L"theme \"Lagoon\": 34 bitmaps checked, 0 problems", SummarizeThemeReport(report));
}

TEST_F(ThemeCheckTest, TrailingBackslashOfTheHomeIsIgnored)
{
    WriteBytes(Bitmap(L"SIDE0U"), Bitmap24(10, 10));
    EXPECT_EQ(1, CheckTheme((home.path() + L"\\").c_str(), &report));
    ASSERT_EQ(1u, report.findings.size());
    EXPECT_EQ(Bitmap(L"SIDE0U"), report.findings[0].path);
}

TEST_F(ThemeCheckTest, BitmapsOfExactlyTheCopiedSizePass)
{
    // The shell uses one column of TASKBAR and of the middles, and 4 columns of TBTND0.
    const struct { LPCWSTR name; int width, height; } smallest[] = {
        {L"TASKBAR", 1, 30},  {L"TBTNU1", 1, 24},       {L"TBTND1", 1, 24},      {L"TBTND0", 4, 24},
        {L"TBTNU0", 18, 24},  {L"TBTND2", 4, 24},       {L"STARTBUTTOND", 100, 30}, {L"TASKBARCLK", 80, 30},
        {L"SIDE7D", 186, 24}, {L"EXITBTNU", 122, 30},   {L"MAIND", 186, 36},     {L"STARTBACK", 400, 390},
    };
    for (const auto& bitmap : smallest) WriteBytes(Bitmap(bitmap.name), Bitmap24(bitmap.width, bitmap.height));
    EXPECT_EQ(0, Check());
    EXPECT_TRUE(lines.empty()) << ToUtf8(lines.empty() ? L"" : lines[0]);
}

enum class Damage { Delete, Truncate, NotBmp, Replace };

struct BrokenBitmap {
    const char* label;
    LPCWSTR name;
    Damage damage;
    int width, height;  // the replacement's size
    LPCWSTR kind;       // the line's start, before the path
    LPCWSTR detail;     // the line's end, after the path
    ThemeProblem problem;
};

void PrintTo(const BrokenBitmap& c, std::ostream* out) { *out << c.label; }

class ThemeCheckBrokenBitmap : public ThemeCheckTest, public ::testing::WithParamInterface<BrokenBitmap> {};

TEST_P(ThemeCheckBrokenBitmap, FailsWithOneLineNamingTheFileAndItsNeed)
{
    const BrokenBitmap& c = GetParam();
    const std::wstring path = Bitmap(c.name);
    switch (c.damage) {
    case Damage::Delete: ASSERT_TRUE(DeleteFileW(path.c_str())); break;
    case Damage::Truncate: WriteBytes(path, ReadBytes(path).substr(0, 2000)); break;
    case Damage::NotBmp: WriteBytes(path, "GIF89a: not a bitmap at all, but long enough to hold the headers"); break;
    case Damage::Replace: WriteBytes(path, Bitmap24(c.width, c.height)); break;
    }
    EXPECT_EQ(1, Check());
    ASSERT_EQ(1u, report.findings.size());
    EXPECT_EQ(c.problem, report.findings[0].kind);
    EXPECT_EQ(path, report.findings[0].path);
    EXPECT_EQ(c.kind + path + c.detail, lines[0]);
    EXPECT_EQ(34, report.bitmapsChecked) << "one broken bitmap does not stop the check";
    EXPECT_EQ(L"theme \"Lagoon\": 34 bitmaps checked, 1 problem", SummarizeThemeReport(report));
}

const ThemeProblem MISSING = ThemeProblem::Missing, UNREADABLE = ThemeProblem::Unreadable,
                   TOO_SMALL = ThemeProblem::TooSmall;

INSTANTIATE_TEST_SUITE_P(
    ThemeCheck, ThemeCheckBrokenBitmap,
    ::testing::Values(
        BrokenBitmap{"DeletedSide3D", L"SIDE3D", Damage::Delete, 0, 0, L"MISSING  ",
                     L": needs a BMP of at least 186 x 24", MISSING},
        BrokenBitmap{"TruncatedStartBack", L"STARTBACK", Damage::Truncate, 0, 0, L"UNREADABLE ",
                     L": not a complete BMP file", UNREADABLE},
        BrokenBitmap{"TaskbarNotBmp", L"TASKBAR", Damage::NotBmp, 0, 0, L"UNREADABLE ", L": not a complete BMP file",
                     UNREADABLE},
        BrokenBitmap{"TaskbarShorterThanBar", L"TASKBAR", Damage::Replace, 8, 29, L"TOO SMALL ",
                     L": is 8 x 29, needs at least 1 x 30", TOO_SMALL},
        BrokenBitmap{"StartButtonNarrowerThanItsWidth", L"STARTBUTTONU", Damage::Replace, 99, 30, L"TOO SMALL ",
                     L": is 99 x 30, needs at least 100 x 30", TOO_SMALL},
        BrokenBitmap{"ClockNarrowerThanClockCX", L"TASKBARCLK", Damage::Replace, 79, 30, L"TOO SMALL ",
                     L": is 79 x 30, needs at least 80 x 30", TOO_SMALL},
        BrokenBitmap{"TaskButtonShorterThanButtonHeight", L"TBTND2", Damage::Replace, 4, 23, L"TOO SMALL ",
                     L": is 4 x 23, needs at least 4 x 24", TOO_SMALL},
        BrokenBitmap{"TaskButtonLeftNarrowerThan18", L"TBTNU0", Damage::Replace, 17, 24, L"TOO SMALL ",
                     L": is 17 x 24, needs at least 18 x 24", TOO_SMALL},
        BrokenBitmap{"DownLeftNarrowerThan4", L"TBTND0", Damage::Replace, 3, 24, L"TOO SMALL ",
                     L": is 3 x 24, needs at least 4 x 24", TOO_SMALL},
        BrokenBitmap{"SideItemNarrow", L"SIDE5U", Damage::Replace, 120, 24, L"TOO SMALL ",
                     L": is 120 x 24, needs at least 186 x 24", TOO_SMALL},
        BrokenBitmap{"ExitButtonShort", L"EXITBTND", Damage::Replace, 122, 29, L"TOO SMALL ",
                     L": is 122 x 29, needs at least 122 x 30", TOO_SMALL},
        BrokenBitmap{"AllProgramsShort", L"ALLPROGRAMSU", Damage::Replace, 186, 23, L"TOO SMALL ",
                     L": is 186 x 23, needs at least 186 x 24", TOO_SMALL},
        BrokenBitmap{"ShortcutBackgroundShort", L"MAINU", Damage::Replace, 186, 35, L"TOO SMALL ",
                     L": is 186 x 35, needs at least 186 x 36", TOO_SMALL},
        BrokenBitmap{"StartBackNarrowerThanMenu", L"STARTBACK", Damage::Replace, 399, 390, L"TOO SMALL ",
                     L": is 399 x 390, needs at least 400 x 390", TOO_SMALL}),
    [](const ::testing::TestParamInfo<BrokenBitmap>& info) { return std::string(info.param.label); });

TEST_F(ThemeCheckTest, SizesFollowTheThemeFile)
{
    std::string theme = ReadBytes(home / L"settings\\Lagoon.theme");
    theme.replace(theme.find("Height=30"), 9, "Height=31");
    theme.replace(theme.find("Width=400"), 9, "Width=401");
    WriteBytes(home / L"settings\\Lagoon.theme", theme);
    EXPECT_EQ(1, Check());
    const std::vector<std::wstring> expected = {
        L"TOO SMALL " + Bitmap(L"TASKBAR") + L": is 8 x 30, needs at least 1 x 31",
        L"TOO SMALL " + Bitmap(L"STARTBUTTONU") + L": is 100 x 30, needs at least 100 x 31",
        L"TOO SMALL " + Bitmap(L"STARTBUTTOND") + L": is 100 x 30, needs at least 100 x 31",
        L"TOO SMALL " + Bitmap(L"TASKBARCLK") + L": is 80 x 30, needs at least 80 x 31",
        L"TOO SMALL " + Bitmap(L"STARTBACK") + L": is 400 x 390, needs at least 401 x 390",
    };
    EXPECT_EQ(expected, lines);
}

TEST_F(ThemeCheckTest, BrokenUserPictureIsOnlyAWarning)
{
    const std::wstring picture = home / L"settings\\user.bmp";
    const struct { const char* label; std::string bytes; LPCWSTR why; } cases[] = {
        {"missing", "", L"user picture missing"},
        {"not a BMP", "no picture here", L"user picture not a complete BMP file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        lines.clear();
        if (c.bytes.empty())
            DeleteFileW(picture.c_str());
        else
            WriteBytes(picture, c.bytes);
        EXPECT_EQ(0, Check());
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ(ThemeProblem::Warning, report.findings[0].kind);
        EXPECT_EQ(L"WARNING  " + picture + L": " + c.why + L"; the start menu shows the background instead", lines[0]);
        EXPECT_EQ(L"theme \"Lagoon\": 34 bitmaps checked, 0 problems, 1 warning", SummarizeThemeReport(report));
    }
}

TEST_F(ThemeCheckTest, MissingThemeFileGivesTheShellsReason)
{
    const std::wstring themeFile = home / L"settings\\Lagoon.theme";
    ASSERT_TRUE(DeleteFileW(themeFile.c_str()));
    EXPECT_EQ(1, Check());
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(ThemeProblem::SettingsUnloadable, report.findings[0].kind);
    EXPECT_EQ(themeFile, report.findings[0].path);
    EXPECT_EQ(0u, lines[0].find(L"ERROR    Cannot load CFG: \"" + themeFile + L"\": ")) << ToUtf8(lines[0]);
    EXPECT_NE(std::wstring::npos, lines[0].find(L"[Theme], [Taskbar] and [Start]")) << ToUtf8(lines[0]);
    EXPECT_EQ(0, report.bitmapsChecked);
    EXPECT_EQ(L"settings not loaded: no bitmaps checked, 1 problem", SummarizeThemeReport(report));
}

// Runs the command line and returns its exit code, with what it wrote to stdout.
DWORD RunTool(const std::wstring& commandLine, std::string* output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return MAXDWORD;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::wstring line = commandLine;
    BOOL created = CreateProcessW(NULL, &line[0], NULL, NULL, TRUE, CREATE_NO_WINDOW, NULL, NULL, &startup, &process);
    CloseHandle(writeEnd);
    DWORD exitCode = MAXDWORD;
    if (created) {
        char buffer[512];
        DWORD read;
        while (ReadFile(readEnd, buffer, sizeof buffer, &read, NULL) && read > 0) output->append(buffer, read);
        if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return exitCode;
}

std::wstring ToolPath()
{
    WCHAR self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.rfind(L'\\') + 1) + FromUtf8(THEME_CHECK_FROM_TESTS) + L"\\zorv-theme-check.exe";
    for (WCHAR& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

TEST(ThemeCheckTool, ReportsABrokenCopyInUtf8AndFails)
{
    TempDirectory temp;
    const std::wstring home = temp / L"テーマ";  // a name outside the code page
    CopyTree(SourcePath(L"themes\\default"), home);
    const std::wstring side = home + L"\\theme\\Lagoon\\SIDE3D.bmp";
    ASSERT_TRUE(DeleteFileW(side.c_str()));
    ASSERT_TRUE(FileExists(ToolPath())) << ToUtf8(ToolPath());

    std::string output;
    EXPECT_EQ(1u, RunTool(L"\"" + ToolPath() + L"\" \"" + home + L"\"", &output));
    EXPECT_EQ(ToUtf8(L"MISSING  " + side + L": needs a BMP of at least 186 x 24\n"
                     L"theme \"Lagoon\": 34 bitmaps checked, 1 problem\n"),
              output);
}

TEST(ThemeCheckTool, WithoutAHomeShowsUsage)
{
    std::string output;
    EXPECT_EQ(2u, RunTool(L"\"" + ToolPath() + L"\"", &output));
    EXPECT_EQ("", output) << "usage goes to stderr";
}

}  // namespace
