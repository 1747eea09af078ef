#include <gtest/gtest.h>

#include "references/ReferenceErrors.h"
#include "references/ReferenceFixtures.h"

using reftest::ContentFolder;

namespace {

const char* const kSong = R"(kind song
chunk TNAM "Groove"
form PATT hex "0001020304"
refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
  embed "embedded file bytes"
  ref "a.wav"
    hamper "Drum Basics" "http://x/"
    relative 1 "a.wav"
  ref "snare.wav"
    database "Demo Kit" "Content" "Samples" "snare.wav"
  ref "b.wav"
    hamper "Drum Basics"
  ref "c.wav"
    hamper "Bass Pack"
end
chunk ODD1 "odd"
list SEQS "sequence data"
)";

}  // namespace

TEST(ReferenceGroups, CheckCollectsExternalHampersOncePerName) {
  ContentFolder content;
  const auto song = content.WriteSong("demo.tns", kSong);
  ExternalHamperNames names;
  reftest::CheckSong(song, content.Context("demo.tns"), names);
  EXPECT_EQ(names, (ExternalHamperNames{"Drum Basics", "Bass Pack"}));
}

TEST(ReferenceGroups, RewriteChangesOnlyTheRecords) {
  ContentFolder content;
  const auto song = content.WriteSong("demo.tns", kSong);
  // Every other chunk, the embedded file and the odd-sized chunk with its pad byte included, is
  // copied as it was: the expected file differs from the source in its records only.
  const char* const expected = R"(kind song
chunk TNAM "Groove"
form PATT hex "0001020304"
refs
  ref "kick.wav"
    relative 1 "Samples" "kick.wav"
    hamper "Demo Kit" "http___example.com_demo_"
    database "Demo Kit" "Samples" "kick.wav"
  embed "embedded file bytes"
  ref "a.wav"
    hamper "Drum Basics" "http://x/"
  ref "snare.wav"
    hamper "Demo Kit" "http___example.com_demo_"
    database "Demo Kit" "Samples" "snare.wav"
    relative 1 "Samples" "snare.wav"
  ref "b.wav"
    hamper "Drum Basics"
  ref "c.wav"
    hamper "Bass Pack"
end
chunk ODD1 "odd"
list SEQS "sequence data"
)";
  EXPECT_EQ(reftest::RewriteSong(song, content.Context("demo.tns")), reftest::Authored(expected));
}

TEST(ReferenceGroups, MalformedGroupsAreBadFormat) {
  ContentFolder content;
  const CReferenceContext context = content.Context("demo.tns");
  const std::pair<const char*, std::string> cases[] = {
      {"no reference group", "kind song\nchunk TNAM \"x\"\n"},
      {"two reference groups", "kind song\nrefs\nend\nrefs\nend\n"},
      {"a stray chunk in the group", "kind song\nrefs\n  chunk JUNK \"x\"\nend\n"},
      {"a form that is no embedded file", "kind song\nrefs\n  form JUNK \"x\"\nend\n"},
  };
  for (const auto& [name, script] : cases) {
    SCOPED_TRACE(name);
    ExternalHamperNames names;
    EXPECT_THROW(reftest::CheckSong(reftest::Authored(script), context, names), NSFerryman::XBadFormat);
  }
  // Rewriting a song without a reference group copies it unchanged.
  const auto plain = reftest::Authored(cases[0].second);
  EXPECT_EQ(reftest::RewriteSong(plain, context), plain);
}

TEST(ReferenceGroups, AnUnresolvableReferenceEndsWithTheBadReferenceAlert) {
  ContentFolder content;
  const auto song = content.WriteSong("demo.tns", "kind song\nrefs\n ref \"kick.wav\"\n relative 1 \"Samples\" \"kick.wav\"\n"
                                                  " ref \"Lost Snare\"\n relative 1 \"Samples\" \"lost.wav\"\n"
                                                  " ref \"Lost Hat\"\nend\n");
  reftest::RecordingAlerts alerts;
  const CReferenceContext context = content.Context("demo.tns", &alerts);
  ExternalHamperNames names;
  EXPECT_THROW(reftest::CheckSong(song, context, names), NSFerryman::XAlertAlreadyShown);
  ASSERT_EQ(alerts.alerts.size(), 1u);
  EXPECT_EQ(alerts.alerts[0].title, "Bad reference");
  EXPECT_EQ(alerts.alerts[0].message,
            "The file 'demo.tns' refers to 'Lost Snare'. This file is not included in this Hamper and not part of any "
            "external Hamper. Cancelling.");
  EXPECT_THROW(reftest::RewriteSong(song, context), NSFerryman::XAlertAlreadyShown);

  // Without an alert host the failure itself passes on; with a list, every one is listed.
  EXPECT_THROW(reftest::CheckSong(song, content.Context("demo.tns"), names), XBadReference);
  std::vector<CUnresolvedReference> unresolved;
  CReferenceContext listing = content.Context("demo.tns");
  listing.unresolved = &unresolved;
  reftest::CheckSong(song, listing, names);
  ASSERT_EQ(unresolved.size(), 2u);
  EXPECT_EQ(unresolved[0].displayName, "Lost Snare");
  EXPECT_EQ(unresolved[1].displayName, "Lost Hat");
  EXPECT_EQ(unresolved[0].reason, "found through none of its paths");
}
