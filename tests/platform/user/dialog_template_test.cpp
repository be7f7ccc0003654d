// The DIALOGEX and classic DLGTEMPLATE readers on hand-made templates: fields and items read
// back, malformed templates refused without touching the output.
#include <gtest/gtest.h>

#include "platform/dialog_template.h"
#include "tests/platform/gdi/bmp_builder.h"

using gdi_test::Put16;
using gdi_test::Put32;

namespace {

void PutString(std::vector<unsigned char>& out, const std::u16string& s) {
    for (char16_t c : s)
        Put16(out, c);
    Put16(out, 0);
}

// A template with a font and `items` static items, each titled "T" with 2 bytes of extra data.
std::vector<unsigned char> Template(std::uint16_t items, std::uint16_t declared) {
    std::vector<unsigned char> t;
    Put16(t, 1);
    Put16(t, 0xFFFF);
    Put32(t, 7);           // help id
    Put32(t, 0x200);       // ex style
    Put32(t, 0x80000040);  // WS_POPUP | DS_SETFONT
    Put16(t, declared);
    for (std::uint16_t v : {1, 2, 30, 40})
        Put16(t, v);
    Put16(t, 0xFFFF);  // menu by ordinal
    Put16(t, 12);
    Put16(t, 0);  // no class
    PutString(t, u"Title");
    Put16(t, 9);
    Put16(t, 700);
    t.push_back(1);
    t.push_back(0);
    PutString(t, u"Arial");
    for (std::uint16_t i = 0; i < items; ++i) {
        while (t.size() % 4 != 0)
            t.push_back(0);
        Put32(t, 0);
        Put32(t, 0);
        Put32(t, 0x50000000);
        for (std::uint16_t v : {3, 4, 5, 6})
            Put16(t, v);
        Put32(t, 100u + i);
        Put16(t, 0xFFFF);
        Put16(t, 0x82);
        PutString(t, u"T");
        Put16(t, 2);
        t.push_back(0xAB);
        t.push_back(0xCD);
    }
    return t;
}

TEST(DialogTemplate, ReadsEveryField) {
    const auto t = Template(2, 2);
    platform::DialogTemplate d;
    std::string error;
    ASSERT_TRUE(platform::ReadDialogTemplate(t.data(), t.size(), &d, &error)) << error;
    EXPECT_EQ(d.helpId, 7u);
    EXPECT_EQ(d.exStyle, 0x200u);
    EXPECT_EQ(d.x, 1);
    EXPECT_EQ(d.cy, 40);
    EXPECT_TRUE(d.menu.isOrdinal);
    EXPECT_EQ(d.menu.ordinal, 12);
    EXPECT_FALSE(d.windowClass.isOrdinal);
    EXPECT_TRUE(d.windowClass.text.empty());
    EXPECT_EQ(d.title, u"Title");
    EXPECT_EQ(d.pointSize, 9);
    EXPECT_EQ(d.weight, 700);
    EXPECT_EQ(d.italic, 1);
    EXPECT_EQ(d.face, u"Arial");
    ASSERT_EQ(d.items.size(), 2u);
    EXPECT_EQ(d.items[1].id, 101u);
    EXPECT_EQ(d.items[1].title.text, u"T");
    EXPECT_EQ(d.items[1].creationData, (std::vector<unsigned char>{0xAB, 0xCD}));
}

TEST(DialogTemplate, RefusesMalformedTemplates) {
    const auto good = Template(2, 2);
    struct Case {
        const char* name;
        std::vector<unsigned char> data;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"old DLGTEMPLATE form",
         [&] {
             auto t = good;
             t[2] = 0;
             t[3] = 0;
             return t;
         }()},
        {"version 2",
         [&] {
             auto t = good;
             t[0] = 2;
             return t;
         }()},
        {"more items declared than present", Template(2, 3)},
        {"absurd item count", Template(0, 60000)},
        {"title without its end", std::vector<unsigned char>(good.begin(), good.begin() + 36)},
        {"extra data beyond the end", std::vector<unsigned char>(good.begin(), good.end() - 1)},
    };
    // Every cut of the template is refused, never read past.
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        cases.push_back({"truncated", std::vector<unsigned char>(
                                          good.begin(), good.begin() + static_cast<long>(cut))});
    }
    for (const Case& c : cases) {
        platform::DialogTemplate d;
        d.title = u"untouched";
        std::string error;
        EXPECT_FALSE(platform::ReadDialogTemplate(c.data.data(), c.data.size(), &d, &error))
            << c.name << " " << c.data.size();
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_EQ(d.title, u"untouched") << c.name;
    }
}

// A classic template with a font and `items` items as windres writes a DIALOG statement: the
// first titled "T" with 2 bytes of extra data and id 100, the second with the id -1 (IDC_STATIC)
// and its class by name.
std::vector<unsigned char> ClassicTemplate(std::uint16_t items, std::uint16_t declared) {
    std::vector<unsigned char> t;
    Put32(t, 0x40000040);  // WS_CHILD | DS_SETFONT
    Put32(t, 0x200);       // ex style
    Put16(t, declared);
    for (std::uint16_t v : {1, 2, 250, 62})
        Put16(t, v);
    Put16(t, 0);  // no menu
    Put16(t, 0);  // no class
    PutString(t, u"Title");
    Put16(t, 8);
    PutString(t, u"MS Sans Serif");
    for (std::uint16_t i = 0; i < items; ++i) {
        while (t.size() % 4 != 0)
            t.push_back(0);
        Put32(t, 0x50000000);
        Put32(t, 0x4);
        for (std::uint16_t v : {74, 24, 97, 16})
            Put16(t, v);
        Put16(t, i == 0 ? 100 : 0xFFFF);
        if (i == 0) {
            Put16(t, 0xFFFF);
            Put16(t, 0x82);
        } else {
            PutString(t, u"Static");
        }
        PutString(t, u"T");
        Put16(t, i == 0 ? 2 : 0);
        if (i == 0) {
            t.push_back(0xAB);
            t.push_back(0xCD);
        }
    }
    return t;
}

TEST(ClassicDialogTemplate, ReadsEveryFieldIntoTheSameDescription) {
    const auto t = ClassicTemplate(2, 2);
    platform::DialogTemplate d;
    std::string error;
    ASSERT_TRUE(platform::ReadClassicDialogTemplate(t.data(), t.size(), &d, &error)) << error;
    EXPECT_EQ(d.helpId, 0u);
    EXPECT_EQ(d.style, 0x40000040u);
    EXPECT_EQ(d.exStyle, 0x200u);
    EXPECT_EQ(d.x, 1);
    EXPECT_EQ(d.cx, 250);
    EXPECT_EQ(d.cy, 62);
    EXPECT_FALSE(d.menu.isOrdinal);
    EXPECT_TRUE(d.menu.text.empty());
    EXPECT_EQ(d.title, u"Title");
    EXPECT_TRUE(d.hasFont);
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.weight, 0);
    EXPECT_EQ(d.italic, 0);
    EXPECT_EQ(d.charset, 1);
    EXPECT_EQ(d.face, u"MS Sans Serif");
    ASSERT_EQ(d.items.size(), 2u);
    EXPECT_EQ(d.items[0].style, 0x50000000u);
    EXPECT_EQ(d.items[0].exStyle, 0x4u);
    EXPECT_EQ(d.items[0].x, 74);
    EXPECT_EQ(d.items[0].cy, 16);
    EXPECT_EQ(d.items[0].id, 100u);
    EXPECT_TRUE(d.items[0].windowClass.isOrdinal);
    EXPECT_EQ(d.items[0].windowClass.ordinal, 0x82);
    EXPECT_EQ(d.items[0].creationData, (std::vector<unsigned char>{0xAB, 0xCD}));
    EXPECT_EQ(d.items[1].id, 0xFFFFFFFFu);
    EXPECT_EQ(d.items[1].windowClass.text, u"Static");
    EXPECT_EQ(d.items[1].title.text, u"T");
    EXPECT_TRUE(d.items[1].creationData.empty());
}

TEST(ClassicDialogTemplate, RefusesMalformedTemplatesAndTheExtendedForm) {
    const auto good = ClassicTemplate(2, 2);
    struct Case {
        const char* name;
        std::vector<unsigned char> data;
    };
    std::vector<Case> cases = {
        {"empty", {}},
        {"extended form", Template(2, 2)},
        {"more items declared than present", ClassicTemplate(2, 3)},
        {"absurd item count", ClassicTemplate(0, 60000)},
        {"extra data beyond the end", std::vector<unsigned char>(good.begin(), good.end() - 1)},
    };
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        cases.push_back({"truncated", std::vector<unsigned char>(
                                          good.begin(), good.begin() + static_cast<long>(cut))});
    }
    for (const Case& c : cases) {
        platform::DialogTemplate d;
        d.title = u"untouched";
        std::string error;
        EXPECT_FALSE(platform::ReadClassicDialogTemplate(c.data.data(), c.data.size(), &d, &error))
            << c.name << " " << c.data.size();
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_EQ(d.title, u"untouched") << c.name;
    }
    EXPECT_FALSE(platform::ReadClassicDialogTemplate(nullptr, 0, nullptr, nullptr));
}

}  // namespace
