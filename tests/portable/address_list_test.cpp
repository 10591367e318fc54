#include "transfer/web/address_list.h"

#include <gtest/gtest.h>

namespace {

// Joins lines with " | " so that a row reads as one string.
std::string Joined(const std::vector<std::string>& lines)
{
    std::string joined;
    for (const std::string& line : lines)
        joined += (joined.empty() ? "" : " | ") + line;
    return joined;
}

TEST(AddressList, SortsListsAndReadsShortcuts)
{
    const struct {
        const char* text;
        const char* addresses;
        const char* notAddresses;
        const char* shortcut;  // nullptr: no shortcut address
    } rows[] = {
        {"http://video.example.com/a\r\nhttps://video.example.com/b\r\n",
         "http://video.example.com/a | https://video.example.com/b", "", nullptr},
        {"\n  \t\n http://video.example.com/a \t\r\r\n\nfile:///C:/v.html",
         "http://video.example.com/a | file:///C:/v.html", "", nullptr},
        {"# my videos\nhttp://video.example.com/a\nvideo.example.com/b\nftp://video.example.com/c",
         "http://video.example.com/a", "# my videos | video.example.com/b | ftp://video.example.com/c", nullptr},
        {"HTTPS://Video.Example.com/A\nFile:x.html\nhttp:/video.example.com",
         "HTTPS://Video.Example.com/A | File:x.html", "http:/video.example.com", nullptr},
        {"[{000214A0-0000-0000-C000-000000000046}]\r\nURL=http://video.example.com/other\r\n[InternetShortcut]\r\n"
         "IconIndex=0\r\n url = http://video.example.com/a b \r\nURL=http://video.example.com/second\r\n",
         "", "[{000214A0-0000-0000-C000-000000000046}] | URL=http://video.example.com/other | [InternetShortcut] | "
         "IconIndex=0 | url = http://video.example.com/a b | URL=http://video.example.com/second",
         "http://video.example.com/a b"},
        {"[internetshortcut]\nURL=file:///C:/v.html\n", "", "[internetshortcut] | URL=file:///C:/v.html",
         "file:///C:/v.html"},
        {"[InternetShortcut]\nIconFile=x.ico\n[Other]\nURL=http://video.example.com/a\n", "",
         "[InternetShortcut] | IconFile=x.ico | [Other] | URL=http://video.example.com/a", nullptr},
        {"[InternetShortcut]\nURL=\n", "", "[InternetShortcut] | URL=", nullptr},
        {"", "", "", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const AddressList list = ReadAddressList(row.text);
        EXPECT_EQ(Joined(list.addresses), row.addresses);
        EXPECT_EQ(Joined(list.notAddresses), row.notAddresses);
        EXPECT_EQ(ReadShortcutAddress(row.text).value_or("(none)"), row.shortcut ? row.shortcut : "(none)");
    }
}

}  // namespace
