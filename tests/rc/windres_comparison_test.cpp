// The comparison of forecourt-rc's resources with windres's: a .res file read record by record,
// every kind of difference reported with its key and first differing offset, the list of known
// differences held to what still differs, and windres's dialog forms rewritten.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/rc_windres/dialog_forms.h"
#include "tests/rc_windres/res_file.h"
#include "tests/rc_windres/resource_comparison.h"

namespace {

using rc_windres::ResourceEntry;

class Bytes {
  public:
    Bytes& Word(std::uint16_t v) {
        b_.push_back(static_cast<unsigned char>(v & 0xFF));
        b_.push_back(static_cast<unsigned char>(v >> 8));
        return *this;
    }
    Bytes& Dword(std::uint32_t v) {
        return Word(v & 0xFFFF).Word(static_cast<std::uint16_t>(v >> 16));
    }
    Bytes& Text(const std::u16string& s) {
        for (char16_t c : s)
            Word(c);
        return Word(0);
    }
    Bytes& Align() {
        while (b_.size() % 4 != 0)
            b_.push_back(0);
        return *this;
    }
    std::vector<unsigned char> b_;
};

// One .res record: type and name as ordinals, or strings when given.
void Record(Bytes& out, std::uint16_t type, const std::u16string& typeName, std::uint16_t name,
            std::uint16_t language, const std::vector<unsigned char>& data) {
    Bytes header;
    if (typeName.empty())
        header.Word(0xFFFF).Word(type);
    else
        header.Text(typeName);
    header.Word(0xFFFF).Word(name).Align();
    header.Dword(0).Word(0x1030).Word(language).Dword(0).Dword(0);
    out.Dword(static_cast<std::uint32_t>(data.size()))
        .Dword(static_cast<std::uint32_t>(8 + header.b_.size()));
    out.b_.insert(out.b_.end(), header.b_.begin(), header.b_.end());
    out.b_.insert(out.b_.end(), data.begin(), data.end());
    out.Align();
}

ResourceEntry Entry(std::uint16_t type, std::uint16_t name, std::uint16_t language,
                    std::vector<unsigned char> data) {
    ResourceEntry e;
    e.key.type.id = type;
    e.key.name.id = name;
    e.key.language = language;
    e.data = std::move(data);
    return e;
}

TEST(WindresComparison, ResFileRecordsAreReadWithTheirKeysAndData) {
    Bytes file;
    Record(file, 0, u"", 0, 0, {});  // the empty record that opens a 32-bit file
    Record(file, 6, u"", 1, 0x1409, {1, 0, 'A', 0, 0});
    Record(file, 0, u"TYPELIB", 1, 0x0416, {7});
    std::vector<ResourceEntry> entries;
    std::string error;
    ASSERT_TRUE(rc_windres::ReadResFile(file.b_, &entries, &error)) << error;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(rc_windres::KeyText(entries[0].key), "STRING 1 0x1409");
    EXPECT_EQ(entries[0].data, (std::vector<unsigned char>{1, 0, 'A', 0, 0}));
    EXPECT_EQ(rc_windres::KeyText(entries[1].key), "TYPELIB 1 0x0416");
    EXPECT_EQ(entries[1].data, std::vector<unsigned char>{7});

    // A data size beyond the file, and a header cut short, are errors, never read past.
    for (std::size_t cut : {file.b_.size() - 4, std::size_t{40}, std::size_t{6}}) {
        std::vector<unsigned char> truncated(file.b_.begin(), file.b_.begin() + cut);
        std::vector<ResourceEntry> partial;
        EXPECT_FALSE(rc_windres::ReadResFile(truncated, &partial, &error)) << cut;
    }
}

TEST(WindresComparison, EachDifferenceIsReportedWithItsKeyOffsetAndBytes) {
    const std::vector<ResourceEntry> windres = {Entry(2, 1, 0x1409, {1, 2, 3, 4}),
                                                Entry(6, 1, 0x1409, {9, 9}),
                                                Entry(16, 1, 0x1409, {5, 6})};
    const std::vector<ResourceEntry> ours = {Entry(2, 1, 0x1409, {1, 2, 0x33, 4}),
                                             Entry(6, 1, 0x1409, {9, 9, 0}),
                                             Entry(14, 1, 0x1409, {8})};
    const rc_windres::ComparisonResult r = rc_windres::CompareResources("t.rc", windres, ours, {});
    EXPECT_EQ(r.unexpected, 4);
    EXPECT_NE(r.report.find("t.rc: BITMAP 1 0x1409: DIFFERS: offset 2: windres 0x03, "
                            "forecourt-rc 0x33 (sizes: windres 4, forecourt-rc 4)"),
              std::string::npos)
        << r.report;
    EXPECT_NE(r.report.find("STRING 1 0x1409: DIFFERS: offset 2: windres ends, the other has "
                            "0x00 (sizes: windres 2, forecourt-rc 3)"),
              std::string::npos)
        << r.report;
    EXPECT_NE(r.report.find("VERSION 1 0x1409: DIFFERS: only in windres's output"),
              std::string::npos)
        << r.report;
    EXPECT_NE(r.report.find("GROUP_ICON 1 0x1409: DIFFERS: only in forecourt-rc's output"),
              std::string::npos)
        << r.report;
    EXPECT_NE(r.report.find("t.rc: 3 resources from windres, 3 from forecourt-rc; 0 equal, 0 "
                            "known differences, 4 unexpected"),
              std::string::npos)
        << r.report;
}

TEST(WindresComparison, TheListExcusesOnlyWhatStillDiffersSo) {
    std::vector<rc_windres::KnownDifference> known;
    std::string error;
    ASSERT_TRUE(rc_windres::ParseKnownDifferences(
        "# comment\n\nt.rc | TYPELIB 1 0x1409 | only-windres | why\n"
        "t.rc | BITMAP 1 0x1409 | only-windres | gone\n"
        "other.rc | STRING 1 0x1409 | only-windres | another script's\n",
        &known, &error))
        << error;
    ResourceEntry typelib;
    typelib.key.type.text = u"TYPELIB";
    typelib.key.name.id = 1;
    typelib.key.language = 0x1409;
    const std::vector<ResourceEntry> windres = {typelib, Entry(2, 1, 0x1409, {1}),
                                                Entry(6, 1, 0x1409, {2})};
    const std::vector<ResourceEntry> ours = {Entry(2, 1, 0x1409, {1})};
    const rc_windres::ComparisonResult r =
        rc_windres::CompareResources("t.rc", windres, ours, known);
    // The listed TYPELIB is excused; the listed bitmap is equal now and the string is listed
    // for another script: both fail.
    EXPECT_EQ(r.unexpected, 2) << r.report;
    EXPECT_NE(r.report.find("TYPELIB 1 0x1409: known (why)"), std::string::npos) << r.report;
    EXPECT_NE(r.report.find("BITMAP 1 0x1409: listed as only-windres (gone) but does not "
                            "differ so"),
              std::string::npos)
        << r.report;
    EXPECT_NE(r.report.find("STRING 1 0x1409: DIFFERS"), std::string::npos) << r.report;

    for (const char* bad : {"t.rc | BITMAP 1 0x1409 | bytes | any\n", "t.rc | BITMAP 1 | x\n",
                            "t.rc | BITMAP 1 0x1409 | class-atoms+ | r\n",
                            " | BITMAP 1 0x1409 | only-windres | r\n"}) {
        std::vector<rc_windres::KnownDifference> list;
        EXPECT_FALSE(rc_windres::ParseKnownDifferences(bad, &list, &error)) << bad;
    }
}

// A dialog with one control of class `cls` (a name, or an atom when empty), in either form.
std::vector<unsigned char> Dialog(bool extended, const std::u16string& cls, std::uint16_t id) {
    Bytes d;
    const std::uint32_t style = 0x40000040;  // WS_CHILD | DS_SETFONT
    if (extended)
        d.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(style);
    else
        d.Dword(style).Dword(0);
    d.Word(1).Word(0).Word(0).Word(100).Word(50).Word(0).Word(0).Text(u"");
    d.Word(8);
    if (extended)
        d.Word(0).Word(0x0100);  // weight 0, not italic, DEFAULT_CHARSET
    d.Text(u"MS Sans Serif").Align();
    if (extended)
        d.Dword(0).Dword(0x200).Dword(0x50000000);
    else
        d.Dword(0x50000000).Dword(0x200);
    d.Word(1).Word(2).Word(30).Word(8);
    if (extended)
        d.Dword(id == 0xFFFF ? 0xFFFFFFFF : id);
    else
        d.Word(id);
    if (cls.empty())
        d.Word(0xFFFF).Word(0x82);
    else
        d.Text(cls);
    d.Text(u"Text").Word(0);
    return d.b_;
}

TEST(WindresComparison, WindresDialogFormsAreRewrittenIntoForecourtRcs) {
    std::vector<unsigned char> out;
    // DLGTEMPLATE to DLGTEMPLATEEX, the control id -1 widened with its sign.
    for (std::uint16_t id : {std::uint16_t{7}, std::uint16_t{0xFFFF}}) {
        ASSERT_TRUE(rc_windres::ClassicToExtended(Dialog(false, u"", id), &out));
        EXPECT_EQ(out, Dialog(true, u"", id)) << id;
    }
    // Predefined class names in any case become atoms; other classes stay names.
    ASSERT_TRUE(rc_windres::ClassNamesToAtoms(Dialog(true, u"sTaTiC", 7), &out));
    EXPECT_EQ(out, Dialog(true, u"", 7));
    ASSERT_TRUE(rc_windres::ClassNamesToAtoms(Dialog(true, u"SysListView32", 7), &out));
    EXPECT_EQ(out, Dialog(true, u"SysListView32", 7));
    // A cut template, or the other form, is refused.
    std::vector<unsigned char> cut = Dialog(true, u"Static", 7);
    cut.resize(cut.size() - 3);
    EXPECT_FALSE(rc_windres::ClassNamesToAtoms(cut, &out));
    EXPECT_FALSE(rc_windres::ClassNamesToAtoms(Dialog(false, u"", 7), &out));
}

}  // namespace
