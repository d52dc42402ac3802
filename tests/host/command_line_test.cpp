#include "app/command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "app/session.h"

namespace {

TEST(CommandLine, SplitsAtSpacesOutsideQuotes) {
  struct Case {
    const wchar_t* text;
    VoStringArray arguments;
  };
  const Case cases[] = {
      {L"a b", VoStringArray{L"a", L"b"}},
      {L"  a   b  ", VoStringArray{L"a", L"b"}},  // spaces make no empty arguments
      {L"\"a b\" c", VoStringArray{L"a b", L"c"}},
      {L"\"\"", VoStringArray{L""}},  // a closing quote ends even an empty argument
      {L"\"\" \"\"", VoStringArray{L"", L""}},
      {L"x\"\" y", VoStringArray{L"x", L"y"}},
      {L"a\"b c\"d", VoStringArray{L"ab c", L"d"}},  // the closing quote ends the argument at once
      {L"\\\"a", VoStringArray{L"\\\"a"}},           // odd backslashes: the quote is kept, so are they
      {L"\\\\\\\"x y", VoStringArray{L"\\\\\\\"x", L"y"}},
      {L"\\\\\"a b\"", VoStringArray{L"\\\\a b"}},  // even backslashes: the quote opens quoting
      {L"a\\b \\", VoStringArray{L"a\\b", L"\\"}},
      {L"\"unclosed text", VoStringArray{L"unclosed text"}},
      {L"\"", VoStringArray{}},
      {L"a\tb", VoStringArray{L"a\tb"}},  // only the space separates
      {L"", VoStringArray{}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.text).ToUtf8());
    EXPECT_EQ(vo::SplitArguments(c.text), c.arguments);
  }
}

TEST(CommandLine, JoinsWithEscapedQuotesAndQuotesAroundSpaces) {
  struct Case {
    VoStringArray arguments;
    const wchar_t* joined;
  };
  const Case cases[] = {
      {VoStringArray{L"/Silent", L"/NoRun"}, L"/Silent /NoRun"},
      {VoStringArray{L"a b"}, L"\"a b\""},
      {VoStringArray{L"it's"}, L"\"it's\""},
      {VoStringArray{L"x\"y"}, L"x\\\"y"},
      {VoStringArray{L"say \"hi\""}, L"\"say \\\"hi\\\"\""},
      {VoStringArray{L"", L"b"}, L" b"},
      {VoStringArray{}, L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.joined).ToUtf8());
    EXPECT_EQ(vo::JoinArguments(c.arguments), c.joined);
  }
}

struct Switches {
  bool silent = false, upgrade = false, no_associations = false, no_dependencies = false, no_upgrade = false,
       no_driver = false, no_run = false;
  const wchar_t* distributor = L"";
};

void ExpectSwitches(const InstallSession& session, const Switches& expected) {
  EXPECT_EQ(session.Silent, expected.silent);
  EXPECT_EQ(session.Upgrade, expected.upgrade);
  EXPECT_EQ(session.NoAssociations, expected.no_associations);
  EXPECT_EQ(session.NoDependencies, expected.no_dependencies);
  EXPECT_EQ(session.NoUpgrade, expected.no_upgrade);
  EXPECT_EQ(session.NoDriver, expected.no_driver);
  EXPECT_EQ(session.NoRun, expected.no_run);
  EXPECT_EQ(session.DistributorID, expected.distributor);
}

TEST(CommandLine, ParsesSwitchesByLeadingKeyword) {
  struct Case {
    const wchar_t* text;
    Switches expected;
  };
  const Case cases[] = {
      {L"/Silent /NoRun", {.silent = true, .no_run = true}},
      {L"Silent", {}},
      {L"junk/Upgrade", {.upgrade = true}},  // the piece before the first slash is dropped
      {L"/DistributorID ACME", {.distributor = L"ACME"}},
      {L"/DistributorID=ACME", {.distributor = L"=ACME"}},
      {L"/DistributorID", {}},
      {L"/distributorid  x y  /silent", {.silent = true, .distributor = L"x y"}},
      {L"/DistributorID first /DistributorID second", {.distributor = L"second"}},
      {L"/DistributorID first /DistributorID", {}},
      {L"/DistributorID a/b", {.distributor = L"a"}},  // a value ends at the next slash
      {L"/NoUpgrade", {.no_upgrade = true}},
      {L"/silentmode /NoRunX", {.silent = true, .no_run = true}},
      {L"/NoAssociations/NoDependencies/NODRIVER", {.no_associations = true, .no_dependencies = true, .no_driver = true}},
      {L"/Unknown / /Silen", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(VoString(c.text).ToUtf8());
    InstallSession session;
    EXPECT_TRUE(vo::ParseCommandLine(c.text, session));
    ExpectSwitches(session, c.expected);
  }
}

TEST(CommandLine, QuotedValueWithSpaceReachesTheParserInQuotes) {
  const VoString joined = vo::JoinArguments(vo::SplitArguments(L"/DistributorID \"ACME Corp\" /Silent"));
  EXPECT_EQ(joined, L"/DistributorID \"ACME Corp\" /Silent");
  InstallSession session;
  vo::ParseCommandLine(joined.View(), session);
  ExpectSwitches(session, {.silent = true, .distributor = L"\"ACME Corp\""});
}

TEST(CommandLine, ParsesIntoTheProcessSession) {
  Session() = InstallSession{};
  vo::ParseCommandLine(L"/Upgrade /DistributorID D7");
  EXPECT_TRUE(Session().Upgrade);
  EXPECT_EQ(Session().GetDistributorID(), L"D7");
  Session() = InstallSession{};
}

TEST(InstallSessionRecord, StartsWithOnlyDowngradesAndShellExtensionAllowed) {
  const InstallSession session;
  const bool flags[] = {session.Silent,         session.Upgrade,        session.AutoInstall,         session.Portable,
                        session.AutoInstallRan, session.EarlierInstallFound, session.NoAssociations, session.NoDependencies,
                        session.NoUpgrade,      session.NoRun,          session.NoDriver,            session.RestartRequired};
  for (const bool flag : flags) EXPECT_FALSE(flag);
  EXPECT_TRUE(session.AllowDowngrade);
  EXPECT_TRUE(session.ShellExtensionRegistrable);
  for (const VoString* text : {&session.InstallDirectory, &session.EarlierUninstallKey, &session.LibraryFolder,
                               &session.ShippedMediaFolder, &session.DistributorID}) {
    EXPECT_TRUE(text->IsEmpty());
  }
  for (const VoStringArray* list : {&session.SupportFolders, &session.PendingFileOperations,
                                    &session.EarlierInstallLocations, &session.PendingRegistrations}) {
    EXPECT_TRUE(list->IsEmpty());
  }
}

}  // namespace
