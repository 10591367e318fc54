#include "framework/file.h"
#include "framework/stdio_file.h"
#include "host_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

void WriteBytes(const std::string& name, const std::string& bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

constexpr unsigned kCreateWrite = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary | CFile::shareExclusive;

TEST(File, CreatesTruncatesAndWritesBytesUnchanged)
{
    const std::string name = "file_test_output.bin";
    WriteBytes(name, "old content that is longer");
    CFile file;
    ASSERT_TRUE(file.Open(name.c_str(), kCreateWrite));
    EXPECT_EQ(file.GetFileName(), name);
    const std::string bytes("a\r\nb\n\0\x1a z", 9);
    file.Write(bytes.data(), static_cast<unsigned>(bytes.size()));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadWholeFile(name), bytes);
}

TEST(File, SharesWithNobodyWhileOpen)
{
    const std::string name = "file_test_exclusive.bin";
    CFile file;
    ASSERT_TRUE(file.Open(name.c_str(), kCreateWrite));
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open(name.c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_strFileName, name);
    file.Close();
    EXPECT_TRUE(second.Open(name.c_str(), CFile::modeRead));
}

TEST(File, ReportsFailuresAsFileErrors)
{
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open("no_such_dir\\x.flv", kCreateWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    EXPECT_EQ(error.m_lOsError, ERROR_PATH_NOT_FOUND);
    // Writing to a file that never opened raises instead of losing data.
    EXPECT_THROW(file.Write("x", 1), CFileException);
}

TEST(File, AbortClosesQuietlyAndKeepsTheBytes)
{
    const std::string name = "file_test_abort.bin";
    CFile file;
    file.Abort();
    ASSERT_TRUE(file.Open(name.c_str(), kCreateWrite));
    file.Write("1234", 4);
    file.Abort();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetFileName(), "");
    file.Abort();
    EXPECT_EQ(ReadWholeFile(name), "1234");
}

TEST(File, OpensByANameInAnyScript)
{
    // "あ" and U+1F600, which no ANSI code page holds as a whole.
    const std::wstring name = L"file_test_\u3042\U0001F600.bin";
    CFile file;
    ASSERT_TRUE(file.Open(name.c_str(), kCreateWrite));
    EXPECT_EQ(file.GetWideFileName(), name);
    file.Write("wide", 4);
    file.Close();
    EXPECT_EQ(file.GetWideFileName(), L"");
    ASSERT_TRUE(file.Open(name.c_str(), CFile::modeRead));
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
    EXPECT_EQ(std::string(buffer), "wide");
    file.Close();
    EXPECT_TRUE(DeleteFileW(name.c_str()));

    CFileException error;
    EXPECT_FALSE(file.Open(L"no_such_dir\\\u3042.flv", kCreateWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    EXPECT_EQ(error.m_wideFileName, u"no_such_dir\\\u3042.flv");
    std::u16string text;
    ASSERT_TRUE(error.GetWideErrorMessage(text));
    EXPECT_EQ(text, u"no_such_dir\\\u3042.flv contains an invalid path.");
    // A file named in the ANSI code page has only the narrow text.
    EXPECT_FALSE(CFileException(CFileException::badPath, 3, "x.flv").GetWideErrorMessage(text));
}

std::vector<std::string> LocalLines(const std::string& bytes)
{
    const std::string name = "file_test_text.txt";
    WriteBytes(name, bytes);
    CStdioFile file;
    EXPECT_TRUE(file.Open(name.c_str(), CFile::modeRead | CFile::typeText));
    std::vector<std::string> lines;
    std::string line = "stale";
    while (file.ReadString(line))
        lines.push_back(line);
    EXPECT_EQ(line, "");
    return lines;
}

using Lines = std::vector<std::string>;

TEST(StdioFile, ReadsTextLinesByTheRulesOfEveryStream)
{
    EXPECT_EQ(LocalLines("a\r\nb\r\n\r\nc"), (Lines{"a", "b", "", "c"}));
    const std::string line300(300, 'x');
    EXPECT_EQ(LocalLines(line300 + "\r\n" + std::string(128, 'y') + "\n"), (Lines{line300, std::string(128, 'y')}));
    // A lone carriage return is dropped, as from a server's page.
    EXPECT_EQ(LocalLines("a\rb\n"), Lines{"ab"});
    // Ctrl+Z is a byte like any other, not the end of the file.
    EXPECT_EQ(LocalLines("a\x1A" "b\nc"), (Lines{"a\x1A" "b", "c"}));
    // A piece that stops at a NUL ends the line there.
    EXPECT_EQ(LocalLines(std::string("ab\0cd\nef\n", 9)), (Lines{"ab", "ef"}));
    EXPECT_EQ(LocalLines(""), Lines{});
}

}  // namespace
