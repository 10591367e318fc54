#include "error_text.h"
#include "framework/app_name.h"
#include "framework/exception.h"
#include "framework/file_exception.h"
#include "framework/framework_resource.h"
#include "framework/string_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ExceptionTexts, SimpleKindsComeFromTheStringTable)
{
    const ErrorText memory = ErrorTextOf(CMemoryException());
    EXPECT_TRUE(memory.has);
    EXPECT_EQ(memory.text, "Out of memory.");
    EXPECT_EQ(memory.help, 0u);
    EXPECT_EQ(ErrorTextOf(CInvalidArgException()).text, "An invalid argument was encountered.");

    const ErrorText base = ErrorTextOf(CUserException());
    EXPECT_FALSE(base.has);
    EXPECT_EQ(base.text, "");
}

TEST(ExceptionTexts, AreCutToTheBuffer)
{
    const ErrorText cut = ErrorTextOf(CMemoryException(), 5);
    EXPECT_TRUE(cut.has);
    EXPECT_EQ(cut.text, "Out ");
    EXPECT_EQ(ErrorTextOf(CMemoryException(), 1).text, "");
}

TEST(ExceptionTexts, FileErrorsNameTheFile)
{
    const ErrorText missing = ErrorTextOf(CFileException(CFileException::fileNotFound, 2, "C:\\pages\\watch.html"));
    EXPECT_TRUE(missing.has);
    EXPECT_EQ(missing.text, "C:\\pages\\watch.html was not found.");
    EXPECT_EQ(missing.help, 61858u);

    EXPECT_EQ(ErrorTextOf(CFileException(CFileException::accessDenied)).text, "Access to an unnamed file was denied.");
    EXPECT_EQ(ErrorTextOf(CFileException(CFileException::none, -1, "x")).text, "No error occurred.");
    EXPECT_EQ(ErrorTextOf(CFileException(CFileException::diskFull, -1, "a.flv")).text,
              "Disk full while accessing a.flv.");
    EXPECT_EQ(ErrorTextOf(CFileException(CFileException::endOfFile, -1, "b")).help, 61870u);
    // A name that itself holds "%1" is put in once, not expanded again.
    EXPECT_EQ(ErrorTextOf(CFileException(CFileException::badPath, -1, "%1")).text, "%1 contains an invalid path.");
}

TEST(ExceptionTexts, SystemErrorsMapToCauses)
{
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_FILE_NOT_FOUND), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_SHARING_VIOLATION), CFileException::sharingViolation);
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_DISK_FULL), CFileException::diskFull);
    EXPECT_EQ(CFileException::OsErrorToCause(ERROR_INVALID_NAME), CFileException::badPath);
    EXPECT_EQ(CFileException::OsErrorToCause(999999), CFileException::genericException);
}

TEST(StringTable, HoldsTheFrameworkStringsAndNoTitle)
{
    std::string text;
    EXPECT_TRUE(LoadResourceString(AFX_IDP_COMMAND_FAILURE, text));
    EXPECT_EQ(text, "Command failed.");
    EXPECT_TRUE(LoadResourceString(AFX_IDP_INTERNAL_FAILURE, text));
    EXPECT_EQ(text, "Internal application error.");
    EXPECT_TRUE(LoadResourceString(AFX_IDP_NO_ERROR_AVAILABLE, text));
    EXPECT_EQ(text, "No error message is available.");
    EXPECT_FALSE(LoadResourceString(57344, text));
    EXPECT_EQ(text, "");
}

TEST(AppName, IsTheExecutableNameWithoutItsExtension)
{
    EXPECT_EQ(AppNameFromModulePath(L"C:\\Tools\\Clipwell.exe"), L"Clipwell");
    EXPECT_EQ(AppNameFromModulePath(L"D:\\x\\my.clip.exe"), L"my.clip");
    EXPECT_EQ(AppNameFromModulePath(L"C:\\Program Files\\Demo Tool.exe"), L"Demo Tool");
    EXPECT_EQ(AppNameFromModulePath(L"C:\\dir.d\\noext"), L"noext");
    EXPECT_STREQ(AfxGetAppName(), L"framework_tests");
}

}  // namespace
