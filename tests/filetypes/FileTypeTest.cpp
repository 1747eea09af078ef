#include "filetypes/FileType.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
  const char* name;
  const char* description;
  int itemType;
};

class FileTypeClassify : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileTypeClassify, NameGivesTypeAndItemType) {
  const NameCase& c = GetParam();
  const CFileType& type = ClassifyFileName(c.name);
  EXPECT_EQ(type.GetDescription(), c.description) << c.name;
  EXPECT_EQ(GetItemTypeOfFileType(type), c.itemType) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, FileTypeClassify,
    ::testing::Values(NameCase{"LOOP.WAV", "Wave File", 11}, NameCase{"loop.Wav", "Wave File", 11},
                      NameCase{"a.wave", "Wave File", 11}, NameCase{"archive.tar.wav", "Wave File", 11},
                      NameCase{"wav", "Undefined Binary", 0}, NameCase{"README", "Undefined Binary", 0},
                      NameCase{"trailing.", "Undefined Binary", 0},
                      NameCase{"Kick.aif.txt", "Text File", 0}, NameCase{"notes.DOC", "Text File", 0},
                      NameCase{"Other.hmp", "Hamper file", 0}, NameCase{"pic.bmp", "BMP Bitmap", 0},
                      NameCase{"link.lnk", "Shortcut", 0}, NameCase{"x.tmp", "Undefined Binary", 0},
                      NameCase{"Beat.aiff", "Audio IFF", 11}, NameCase{"Beat.AIF", "Audio IFF", 11},
                      NameCase{"Splash.jpg", "JPEG Bitmap", 9}, NameCase{"p.jpeg", "JPEG Bitmap", 9},
                      NameCase{"tune.mid", "Standard MIDI File", 10},
                      NameCase{"tune.MIDI", "Standard MIDI File", 10}, NameCase{"i.tiff", "TIFF File", 8},
                      NameCase{"song.tns", "Tessel Song", 1}, NameCase{"pub.tps", "Published Tessel Song", 13},
                      NameCase{"p.zyp", "Tessel Polywinder Patch", 2},
                      NameCase{"p.smp", "Tessel SX24 Sampler Patch", 3},
                      NameCase{"p.sxp", "Tessel Looptor Patch", 4}, NameCase{"p.drp", "Tessel Thumpr Patch", 5},
                      NameCase{"l.sl2", "Slivver 2 file", 6}, NameCase{"l.slc", "SLC File", 7},
                      NameCase{"l.slv", "Slivver 1.6/1.7 File", 12}, NameCase{"h.PAD", "Hidden PAD file", 14},
                      NameCase{"v.vrp", "Undefined Binary", 0}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(FileType, ExtensionList) {
  const CFileType& tiff = TiffFileType();
  ASSERT_EQ(tiff.GetExtensionCount(), 2u);
  EXPECT_EQ(tiff.GetExtension(0), ".tif");
  EXPECT_EQ(tiff.GetExtension(1), ".tiff");
  EXPECT_EQ(tiff.GetExtension(2), "");
  EXPECT_EQ(HamperFileType().GetExtensionCount(), 1u);
  EXPECT_EQ(HamperFileType().GetTypeCode(), NSFerryman::CFourCharCode("HMP "));
}

TEST(FileType, TypeMatchesByCodeOrExtension) {
  // Same code, different description and extension list.
  EXPECT_TRUE(TypeMatchesType(Slc1FileType(), SlcFileType()));
  EXPECT_EQ(GetItemTypeOfFileType(Slc1FileType()), 7);
  // Different code, shared extension.
  const CFileType otherWave("Other", ".snd;.WAV", "XXXX");
  EXPECT_TRUE(TypeMatchesType(otherWave, WaveFileType()));
  EXPECT_EQ(GetItemTypeOfFileType(otherWave), 11);
  EXPECT_FALSE(TypeMatchesType(TextFileType(), WaveFileType()));
  // Audio items present VORP, which is not itself packed.
  EXPECT_EQ(GetItemTypeOfFileType(VorpFileType()), 0);
}

TEST(FileType, RegisteredInstancesAreShared) {
  EXPECT_EQ(&ClassifyFileName("a.wav"), &WaveFileType());
  EXPECT_EQ(&ClassifyFileName("a"), &UndefinedBinaryFileType());
}

}  // namespace
