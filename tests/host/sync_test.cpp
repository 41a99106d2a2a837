// The sync's parts that stand alone: its state in journal.dat, the three-way
// merge, the card form, the server's XML and the addresses the seam allows.
#include <gtest/gtest.h>

#include <locale>
#include <sstream>

#include <boost/archive/text_woarchive.hpp>

#include "model/archive.h"
#include "model/carddav_client.h"
#include "model/carddav_xml.h"
#include "model/http.h"
#include "model/http_common.h"
#include "model/journal_serialization.h"
#include "model/journal_text.h"
#include "sync/card_match.h"
#include "sync/card_sync.h"
#include "sync/card_merge.h"
#include "sync/sync_card.h"
#include "tests/common/archive_files.h"

using namespace cardsync;

namespace {

Journal Synced() {
  Journal journal;
  journal.Record(3, 1797000000, L"call");
  CardLink& first = journal.contacts[3].card;
  first.uid = L"u-1";
  first.href = L"https://dav.example/a/u-1.vcf";
  first.etag = L"\"e 1\"";
  first.synced = L"BEGIN:VCARD\r\nEND:VCARD\r\n";
  first.picture = L"C:\\Pictures\\anna.png";
  first.pictureKnown = true;
  CardLink& second = journal.contacts[5].card;
  second.uid = L"u-2";
  second.href = L"https://dav.example/a/u-2.vcf";
  journal.state.sync = SyncAccount{
      L"https://dav.example/", L"anna", L"https://dav.example/a/", L"tok:1", 1797000000, {}, {4, 9}};
  return journal;
}

CardFields Fields(std::wstring name, std::wstring notes, std::vector<JournalEntry> log = {}, Time last = 0) {
  CardFields card;
  card.uid = L"u";
  card.name = std::move(name);
  card.notes = std::move(notes);
  card.group = L"Friends";
  card.hasInterval = true;
  card.count = 2;
  card.lastContacted = last;
  card.log = std::move(log);
  return card;
}

}  // namespace

// The groups that sync came with ProgramState version 5: an older journal
// syncs every group, and an impossible count of groups is damage.
TEST(SyncState, GroupsChosenLoadBehindTheirVersionAndOlderJournalsSyncEveryGroup) {
  const std::wstring state = L"22 serialization::archive 3 0 1 0 %d 1 540 0  3 0 1 s 1 u 0  0  7 0";
  struct Case {
    int version;
    std::wstring groups;
    FileStatus status;
    std::vector<std::int32_t> expected;
  };
  const Case cases[] = {
      {4, L"", FileStatus::Ok, {}},
      {5, L" 0", FileStatus::Ok, {}},
      {5, L" 2 4 -9", FileStatus::Ok, {4, -9}},
      {5, L" 1000000000 1", FileStatus::Damaged, {}},
  };
  for (const Case& c : cases) {
    wchar_t head[80];
    swprintf(head, 80, state.c_str(), c.version);
    const std::string bytes = testfiles::Bytes(testfiles::Closed(head + c.groups + L" 0"));
    Journal journal;
    ASSERT_EQ(ReadArchiveBytes(bytes.data(), bytes.size(), journal), c.status) << c.version << c.groups.c_str();
    if (c.status != FileStatus::Ok) continue;
    EXPECT_EQ(journal.state.sync.server, L"s");
    EXPECT_EQ(journal.state.sync.lastSync, 7);
    EXPECT_EQ(journal.state.sync.groups, c.expected);
    EXPECT_EQ(journal.state.sync.SyncsGroup(9), c.expected.empty());
    EXPECT_TRUE(journal.state.sync.SyncsGroup(4));
  }
}

TEST(SyncState, TheJournalCarriesLinksAndTheAccountAndDropsRememberTheCard) {
  Journal journal = Synced();
  std::wstringstream stream;
  stream.imbue(std::locale::classic());
  stream << L"22 serialization::archive 3 ";
  {
    boost::archive::text_woarchive archive(stream, boost::archive::no_header);
    archive << static_cast<const Journal&>(journal);
  }
  EXPECT_EQ(JournalText(journal), stream.str()) << "the direct writer and the archive agree";

  testfiles::TempFolder folder;
  const std::wstring path = folder.File(L"journal.dat");
  ASSERT_TRUE(SaveArchive(path, journal));
  Journal loaded;
  ASSERT_EQ(ReadArchive(path, loaded), FileStatus::Ok);
  EXPECT_EQ(loaded.state.sync, journal.state.sync);
  EXPECT_EQ(loaded.contacts[3].card, journal.contacts[3].card);
  EXPECT_EQ(loaded.contacts[5].card, journal.contacts[5].card);

  // A contact deleted here leaves its card to be deleted on the server.
  loaded.Drop(5);
  ASSERT_EQ(loaded.state.sync.removedHere.size(), 1u);
  EXPECT_EQ(loaded.state.sync.removedHere[0].uid, L"u-2");
  Contacts none;
  loaded.DropMissing(none);
  EXPECT_EQ(loaded.state.sync.removedHere.size(), 2u);
}

TEST(SyncMerge, FieldsMergeThreeWaysAndJournalsJoin) {
  const JournalEntry a{100, L"a"}, b{200, L"b"}, c{300, L"c"}, d{400, L"d"};
  struct Case {
    const char* what;
    CardFields base, local, remote;
    std::wstring name, notes;
    std::vector<std::wstring> conflicts;
    std::vector<Time> log;
    Time last;
  } cases[] = {
      {"only here changed",
       Fields(L"Ann", L"n"),
       Fields(L"Anne", L"n"),
       Fields(L"Ann", L"n"),
       L"Anne",
       L"n",
       {},
       {},
       0},
      {"only there changed", Fields(L"Ann", L"n"), Fields(L"Ann", L"n"), Fields(L"Ann", L"m"), L"Ann", L"m", {}, {}, 0},
      {"each side another field",
       Fields(L"Ann", L"n"),
       Fields(L"Anne", L"n"),
       Fields(L"Ann", L"m"),
       L"Anne",
       L"m",
       {},
       {},
       0},
      {"both the same field: the server's",
       Fields(L"Ann", L"n"),
       Fields(L"Ann", L"here"),
       Fields(L"Ann", L"there"),
       L"Ann",
       L"there",
       {L"notes"},
       {},
       0},
      {"both ticked: both entries, the later contact",
       Fields(L"Ann", L"", {a}, 100),
       Fields(L"Ann", L"", {b, a}, 200),
       Fields(L"Ann", L"", {c, a}, 300),
       L"Ann",
       L"",
       {},
       {300, 200, 100},
       300},
      {"deleted here stays deleted",
       Fields(L"Ann", L"", {b, a}),
       Fields(L"Ann", L"", {b}),
       Fields(L"Ann", L"", {d, b, a}),
       L"Ann",
       L"",
       {},
       {400, 200},
       0},
      {"deleted there stays deleted",
       Fields(L"Ann", L"", {b, a}),
       Fields(L"Ann", L"", {b, a}),
       Fields(L"Ann", L"", {a}),
       L"Ann",
       L"",
       {},
       {100},
       0},
  };
  for (const Case& test : cases) {
    const Merged merged = Merge(&test.base, test.local, test.remote);
    EXPECT_EQ(merged.card.name, test.name) << test.what;
    EXPECT_EQ(merged.card.notes, test.notes) << test.what;
    EXPECT_EQ(merged.conflicts, test.conflicts) << test.what;
    std::vector<Time> times;
    for (const JournalEntry& entry : merged.card.log) times.push_back(entry.time);
    EXPECT_EQ(times, test.log) << test.what;
    EXPECT_EQ(merged.card.lastContacted, test.last) << test.what;
  }
  // Phones, addresses and dates are fields of their own, named in the one summary.
  CardFields phoneBase = Fields(L"Ann", L""), phoneHere = phoneBase, phoneThere = phoneBase;
  phoneBase.details.phones = {{L"mobile", L"0170 1"}};
  phoneHere.details.phones = {{L"mobile", L"0170 2"}};
  phoneThere.details.phones = {{L"mobile", L"0170 3"}};
  phoneThere.details.emails = {{L"home", L"ann@example.org"}};
  const Merged phones = Merge(&phoneBase, phoneHere, phoneThere);
  EXPECT_EQ(phones.conflicts, std::vector<std::wstring>{L"phone"});
  EXPECT_EQ(phones.card.details.phones, phoneThere.details.phones);
  EXPECT_EQ(phones.card.details.emails, phoneThere.details.emails);
  EXPECT_EQ(Merge(&phoneBase, phoneHere, phoneBase).card.details.phones, phoneHere.details.phones);
  EXPECT_EQ(ConflictSummary({L"Anna Berg (phone)", L"Bert Costa (notes)"}),
            L"2 contacts were changed here and on another device; the other device's version was kept: Anna Berg "
            L"(phone), Bert Costa (notes).");
  EXPECT_EQ(ConflictSummary({}), L"");
  // The first sync of a matched contact: an empty side takes the other's.
  const Merged first = Merge(nullptr, Fields(L"Ann", L"mine"), Fields(L"Ann", L""));
  EXPECT_EQ(first.card.notes, L"mine");
  EXPECT_TRUE(first.conflicts.empty());
}

TEST(SyncCard, TheCardRoundTripsKeepsWhatItDoesNotOwnAndRefusesNonsense) {
  const std::string phone =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:p1\r\nFN:Anna Berg\r\nN:Berg;Anna;Maria;;\r\nitem1.TEL;TYPE=CELL:+49 170 "
      "1234567\r\nitem1.X-ABLabel:mobile\r\nitem2.URL:https://example.org/anna\r\nitem2.X-ABLabel:blog\r\n"
      "EMAIL;TYPE=WORK:anna@example.org\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-05-12\r\nitem3.X-ABDATE:2010-06-01\r\n"
      "item3.X-ABLabel:_$!<Anniversary>!$_\r\nitem4.X-ABDATE:--0301\r\nitem4.X-ABLabel:name day\r\n"
      "CATEGORIES:Family,VIP\r\nNOTE:line one\\nline two\\, and \\;\r\n"
      "X-AMICORD-INTERVAL:3 months\r\nX-AMICORD-LAST-CONTACTED:20261209T081500Z\r\nX-AMICORD-LOG:20261209T08150"
      "0Z\\;a call; with a semicolon\r\nX-AMICORD-LOG:20261201T100000Z;lunch\r\nEND:VCARD\r\n";
  CardFields card;
  std::wstring why;
  ASSERT_TRUE(ParseCard(phone, card, why)) << why;
  EXPECT_EQ(card.name, L"Anna Berg");
  EXPECT_EQ(card.notes, L"line one\nline two, and ;");
  EXPECT_EQ(card.group, L"Family");
  EXPECT_EQ(card.otherCategories, std::vector<std::wstring>{L"VIP"});
  EXPECT_TRUE(card.hasInterval);
  EXPECT_EQ(card.unit, Months);
  EXPECT_EQ(card.count, 3);
  EXPECT_EQ(card.lastContacted, 1796804100);
  ASSERT_EQ(card.log.size(), 2u);
  EXPECT_EQ(card.log[0].text, L"a call; with a semicolon");
  // The details as the vCard import maps them, the other lines kept as they stood.
  EXPECT_EQ(card.details.phones, (std::vector<Phone>{{L"mobile", L"+49 170 1234567"}}));
  EXPECT_EQ(card.details.emails, (std::vector<EmailAddress>{{L"work", L"anna@example.org"}}));
  EXPECT_EQ(card.details.dates,
            (std::vector<ImportantDate>{
                {kBirthdayLabel, 5, 12, 0}, {kAnniversaryLabel, 6, 1, 2010}, {L"name day", 3, 1, 0}}));
  EXPECT_EQ(card.details.kept,
            (std::vector<KeptProperty>{{L"", L"item2.URL:https://example.org/anna"}, {L"", L"item2.X-ABLabel:blog"}}));
  for (const bool version4 : {false, true}) {
    const std::string written = WriteCard(card, version4);
    EXPECT_NE(written.find(version4 ? "BDAY:--0512\r\n" : "BDAY;X-APPLE-OMIT-YEAR=1604:16040512\r\n"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find(version4 ? "TEL;TYPE=cell;PREF=1;VALUE=uri:tel:+49-170-1234567\r\n"
                                    : "TEL;TYPE=cell,pref:+49 170 1234567\r\n"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("N:Berg;Anna;Maria;;\r\n"), std::string::npos);
    EXPECT_NE(written.find(version4 ? "VERSION:4.0" : "VERSION:3.0"), std::string::npos);
    CardFields again;
    ASSERT_TRUE(ParseCard(written, again, why)) << why;
    EXPECT_TRUE(SameFields(card, again));
    EXPECT_EQ(again.details, card.details);
  }
  // A picture over 8 MB is not taken and says so; its line goes back as it came.
  const std::string photo = "PHOTO;ENCODING=b;TYPE=PNG:iVBORw0KGgo" + std::string((9u << 20) / 3 * 4, 'A');
  ASSERT_TRUE(ParseCard("BEGIN:VCARD\r\nUID:x\r\nFN:A\r\n" + photo + "\r\nEND:VCARD\r\n", card, why)) << why;
  EXPECT_TRUE(card.picture.empty());
  EXPECT_EQ(card.pictureProblem, L"The picture is larger than 8 MB and was left out.");
  EXPECT_NE(WriteCard(card, true).find(photo.substr(0, 75) + "\r\n " + photo.substr(75, 74) + "\r\n "),
            std::string::npos);
  const struct {
    const char* card;
    const wchar_t* why;
  } bad[] = {
      {"", L"The server's answer holds no card."},
      {"BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n", L"The card has no UID."},
      {"BEGIN:VCARD\r\nUID:x\r\nEND:VCARD\r\n", L"The card has no name."},
      {"BEGIN:VCARD\r\nUID:x\r\nFN:A\r\nEND:VCARD\r\nBEGIN:VCARD\r\nUID:y\r\nFN:B\r\nEND:VCARD\r\n",
       L"The server's answer holds more than one card."},
  };
  for (const auto& test : bad) {
    EXPECT_FALSE(ParseCard(test.card, card, why)) << test.card;
    EXPECT_EQ(why, test.why);
  }
}

TEST(SyncServerAnswers, MultistatusIsReadWhateverThePrefixesAndAddressesResolve) {
  const std::string answer =
      "<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:carddav\">"
      "<D:response><D:href>/a/</D:href><D:propstat><D:prop><D:resourcetype><D:collection/><C:addressbook/>"
      "</D:resourcetype><D:displayname>Contacts</D:displayname><C:supported-address-data><C:address-data-type "
      "content-type=\"text/vcard\" version=\"4.0\"/></C:supported-address-data></D:prop><D:status>HTTP/1.1 200 "
      "OK</D:status></D:propstat></D:response><response xmlns=\"DAV:\"><href>/a/x.vcf</href><propstat><prop>"
      "<getetag>\"1\"</getetag><address-data xmlns=\"urn:ietf:params:xml:ns:carddav\">BEGIN:VCARD&#13;\nEND:VCARD"
      "</address-data></prop><status>HTTP/1.1 200 OK</status></propstat></response><D:response><D:href>/a/gone.vcf"
      "</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response><D:sync-token>t-2</D:sync-token>"
      "</D:multistatus>";
  carddav::Multistatus status;
  ASSERT_TRUE(carddav::ParseMultistatus(answer, status));
  ASSERT_EQ(status.responses.size(), 3u);
  EXPECT_TRUE(status.responses[0].addressBook);
  EXPECT_EQ(status.responses[0].displayName, "Contacts");
  EXPECT_EQ(status.responses[0].addressDataVersions, std::vector<std::string>{"4.0"});
  EXPECT_EQ(status.responses[1].etag, "\"1\"");
  EXPECT_EQ(status.responses[1].addressData, "BEGIN:VCARD\r\nEND:VCARD");
  EXPECT_EQ(status.responses[2].status, 404);
  EXPECT_EQ(status.syncToken, "t-2");
  for (const char* nonsense : {"", "<html>no</html>", "<multistatus><response>", "\xff\xfe<"})
    EXPECT_FALSE(carddav::ParseMultistatus(nonsense, status) && !status.responses.empty()) << nonsense;
  EXPECT_EQ(carddav::Resolve("https://h.example:8443/a/b/", "/c/d.vcf"), "https://h.example:8443/c/d.vcf");
  EXPECT_EQ(carddav::Resolve("https://h.example/a/b/", "d.vcf"), "https://h.example/a/b/d.vcf");
  EXPECT_EQ(carddav::Resolve("https://h.example/a/", "https://o.example/x"), "https://o.example/x");
}

TEST(SyncNetwork, PlainHttpOnlyToThisComputer) {
  const struct {
    const char* url;
    bool allowed;
  } cases[] = {
      {"https://dav.example/", true},       {"HTTPS://dav.example/a", true},
      {"http://127.0.0.1:5232/", true},     {"http://localhost/x", true},
      {"http://[::1]:80/", true},           {"http://dav.example/", false},
      {"http://127.0.0.1.example/", false}, {"http://localhost@evil.example/", false},
      {"ftp://dav.example/", false},        {"https://", false},
      {"file:///etc/passwd", false},
  };
  for (const auto& test : cases) EXPECT_EQ(http::AllowedUrl(test.url), test.allowed) << test.url;
  http::Request request;
  request.url = "http://192.0.2.1/";
  EXPECT_EQ(http::Send(request).failure, http::Failure::Refused) << "refused before any connection";
}

// What both halves of the seam share: redirections kept to one scheme, and
// request headers no server's text can add lines to.
TEST(SyncNetwork, RedirectionsKeepTheSchemeAndHeadersStayOneLine) {
  EXPECT_TRUE(http::SameScheme("https://a.example/x", "HTTPS://b.example/y"));
  EXPECT_TRUE(http::SameScheme("http://127.0.0.1:1/", "http://localhost:2/"));
  EXPECT_FALSE(http::SameScheme("https://a.example/", "http://a.example/"));
  EXPECT_FALSE(http::SameScheme("http://localhost/", "https://a.example/"));
  EXPECT_FALSE(http::SameScheme("/relative", "/relative"));
  EXPECT_EQ(http::detail::HeaderLine("If-Match", "\"e1\"\r\nX-Evil: 1"), "If-Match: \"e1\"X-Evil: 1");
  EXPECT_EQ(http::detail::BasicAuthorization("anna", "secret"), "Basic YW5uYTpzZWNyZXQ=");
  EXPECT_EQ(http::detail::BasicAuthorization("a", "b"), "Basic YTpi");
  http::Response response;
  for (const char* line : {"HTTP/1.1 100 Continue", "X-Old: 1", "HTTP/1.1 207 Multi-Status", "ETag:  \"e2\"\r\n",
                           "no colon here", "Content-Type: text/xml"})
    http::detail::AddHeaderLine(response, line);
  EXPECT_EQ(response.headers, (http::Headers{{"etag", "\"e2\""}, {"content-type", "text/xml"}}));
}

TEST(SyncMatch, TheFirstSyncFindsPeopleByAddressThenDigitsThenNameAndEachOnce) {
  Engine engine(L"/nonexistent/amicord-match");
  for (const wchar_t* name : {L"Anna B.", L"Bertie", L"carla diaz", L"Dora", L"Eve"})
    engine.contacts->Add(name, L"", Weeks, 2, 0, L"", 1);
  std::vector<std::int32_t> ids;
  for (const Contacts::Item& contact : *engine.contacts) ids.push_back(contact->id);
  engine.journal->SetDetails(ids[0], {{}, {{L"work", L"ANNA@example.org"}}, {}, {}});
  engine.journal->SetDetails(ids[1], {{{L"mobile", L"+49 (171) 333-4444"}}, {}, {}, {}});
  engine.journal->SetDetails(ids[3], {{{L"home", L"1234"}}, {}, {}, {}});
  engine.journal->contacts[ids[4]].card.href = L"https://dav.example/a/e.vcf";
  CardMatcher matcher(engine);
  const struct {
    const wchar_t* name;
    const wchar_t* email;
    const wchar_t* phone;
    int contact;  // index into ids, -1 for none
    const wchar_t* by;
  } cards[] = {
      {L"Bert Costa", L"", L"+4917133 34444", 1, L"phone"},
      {L"Bertie", L"ANNA@EXAMPLE.ORG", L"", 0, L"e-mail"},  // the address before the name
      {L"Carla Diaz", L"", L"", 2, L"name"},
      {L"Anna B.", L"", L"", -1, L""},         // already taken by an earlier card
      {L"Dora Engel", L"", L"1234", -1, L""},  // four digits say too little
      {L"Eve", L"", L"", -1, L""},             // linked with a card already
  };
  for (const auto& test : cards) {
    CardFields card;
    card.name = test.name;
    if (*test.email) card.details.emails.push_back({L"home", test.email});
    if (*test.phone) card.details.phones.push_back({L"mobile", test.phone});
    std::int32_t id = -1;
    std::wstring by;
    const bool found = matcher.Find(card, id, by);
    EXPECT_EQ(found, test.contact >= 0) << test.name;
    if (found) {
      EXPECT_EQ(std::make_pair(id, by), std::make_pair(ids[test.contact], std::wstring(test.by))) << test.name;
    }
  }
}
