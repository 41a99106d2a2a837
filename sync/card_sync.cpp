#include "sync/card_sync.h"

#include <cwctype>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <unordered_map>

#include "interchange/picture_file.h"
#include "model/notes_text.h"
#include "model/paths.h"
#include "model/picture_shrink.h"
#include "model/text_decoding.h"
#include "sync/card_match.h"
#include "sync/card_merge.h"
#include "sync/sync_card.h"

namespace cardsync {

namespace {

constexpr int kWriteAttempts = 3;
constexpr IntervalUnit kDefaultUnit = Weeks;
constexpr std::int32_t kDefaultCount = 4;

std::wstring Wide(const std::string& text) { return text::DecodeLoose(text); }
std::string Narrow(const std::wstring& text) { return text::EncodeUtf8(text); }

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return text;
}

std::wstring NewUid() {
  std::random_device device;
  std::mt19937_64 generator((static_cast<std::uint64_t>(device()) << 32) ^ device());
  const std::uint64_t high = generator(), low = generator();
  wchar_t text[40];
  swprintf(text, 40, L"%08x-%04x-4%03x-%04x-%012llx", static_cast<unsigned>(high >> 32),
           static_cast<unsigned>((high >> 16) & 0xFFFF), static_cast<unsigned>(high & 0xFFF),
           static_cast<unsigned>(0x8000 | ((low >> 48) & 0x3FFF)),
           static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
  return text;
}

// The card's PHOTO line for a picture file, empty when there is none to send
// (no file, one too large, no picture): a large picture goes as a smaller JPEG.
std::string PhotoLineOf(const std::wstring& path, bool version4) {
  std::string picture, type;
  if (!interchange::ReadPicture(path, picture, type)) return {};
  if (picture.size() > pictures::kMaxUploadBytes) {
    std::string smaller;
    if (pictures::Shrink(picture, pictures::kMaxUploadBytes, smaller)) {
      picture = std::move(smaller);
      type = "jpg";
    }
  }
  return PhotoLine(picture, type, version4);
}

// The link of a card as the server now has it, with what is known of which
// picture file it shows.
CardLink LinkOf(const CardFields& remote, const carddav::Card& card, const std::wstring& picture, bool known) {
  CardLink link;
  link.uid = remote.uid;
  link.href = Wide(card.url);
  link.etag = Wide(card.etag);
  link.synced = Wide(card.data);
  link.picture = picture;
  link.pictureKnown = known;
  return link;
}

class Run {
 public:
  Run(Engine& engine, carddav::Client& client, const Account& account, Time now, bool onlyPropose = false)
      : engine_(engine),
        client_(client),
        account_(account),
        now_(now),
        onlyPropose_(onlyPropose),
        state_(engine.journal->state.sync) {}

  // Reads the server as the sync does and lists the cards that would be
  // linked with contacts here, changing nothing.
  Report Propose(std::vector<ProposedMatch>& proposals) {
    std::vector<carddav::Card> cards;
    carddav::Changes changes;
    if (!Read(changes, cards)) return report_;
    for (const carddav::Card& card : cards) {
      CardFields remote;
      std::wstring why;
      if (linked_.count(card.url) != 0) continue;
      if (!ParseCard(card.data, remote, why)) {
        report_.problems.push_back(Wide(card.url) + L": " + why);
        continue;
      }
      if (!CardSyncs(remote)) continue;
      ProposedMatch proposal;
      if (!matcher_->Find(remote, proposal.contactId, proposal.by)) continue;
      if (!ContactSyncs(proposal.contactId)) continue;
      proposal.contactName = ContactOf(proposal.contactId)->name;
      proposal.cardName = remote.name;
      proposal.href = Wide(card.url);
      proposal.uid = remote.uid;
      proposals.push_back(std::move(proposal));
    }
    return report_;
  }

  Report Go() {
    carddav::Changes changes;
    std::vector<carddav::Card> cards;
    if (!Read(changes, cards)) return report_;
    // Everything read: from here on, the changes are made.
    ApplyRemovals(changes);
    for (const carddav::Card& card : cards) Apply(card);
    DeleteRemovedHere();
    PushLocal();
    if (!report_.failed) state_.syncToken = Wide(changes.syncToken);
    state_.lastSync = now_;
    engine_.journal->Touch();
    report_.changed = true;
    return report_;
  }

 private:
  bool Read(carddav::Changes& changes, std::vector<carddav::Card>& cards) {
    if (!FindBook()) return false;
    carddav::BookInfo info;
    if (!Check(client_.Info(book_, info))) return false;
    version4_ = info.version4;
    // A proposal looks at every card, not only those changed since the last sync.
    const std::string token = onlyPropose_ ? std::string() : Narrow(state_.syncToken);
    if (!Check(client_.ReadChanges(book_, token, info.syncCollection, changes))) return false;
    if (!Check(client_.Fetch(book_, ToFetch(changes), cards))) return false;
    matcher_ = std::make_unique<CardMatcher>(engine_);
    return true;
  }

  bool Check(const carddav::Outcome& outcome) {
    if (outcome.ok) return true;
    report_.failed = true;
    report_.unauthorized = outcome.Unauthorized();
    report_.network = outcome.failure;
    report_.failure = Wide(outcome.why);
    return false;
  }

  bool FindBook() {
    const bool sameAccount = state_.server == account_.server && state_.user == account_.user;
    if (!account_.book.empty()) {
      book_ = Narrow(account_.book);
    } else if (sameAccount && !state_.book.empty()) {
      book_ = Narrow(state_.book);
    } else {
      std::vector<carddav::AddressBook> books;
      if (!Check(client_.Discover(Narrow(account_.server), books))) return false;
      if (books.empty()) {
        report_.failed = true;
        report_.failure = L"The server has no address book for this user.";
        return false;
      }
      book_ = books.front().url;
    }
    if (book_.empty() || book_.back() != '/') book_ += '/';
    if (onlyPropose_) {
      if (Wide(book_) == state_.book)
        for (auto& [id, history] : engine_.journal->contacts)
          if (history.card.Linked()) linked_[Narrow(history.card.href)] = id;
      return true;
    }
    // Another book is another set of cards: what was linked to the old one is not.
    if (Wide(book_) != state_.book) {
      for (auto& [id, history] : engine_.journal->contacts) history.card = CardLink{};
      state_.syncToken.clear();
      state_.removedHere.clear();
    }
    state_.server = account_.server;
    state_.user = account_.user;
    state_.book = Wide(book_);
    for (auto& [id, history] : engine_.journal->contacts)
      if (history.card.Linked()) linked_[Narrow(history.card.href)] = id;
    return true;
  }

  std::vector<std::string> ToFetch(const carddav::Changes& changes) {
    std::vector<std::string> urls;
    for (const auto& [url, etag] : changes.etags) {
      listed_.insert(url);
      const auto link = linked_.find(url);
      if (link != linked_.end()) {
        const ContactHistory* history = engine_.journal->Find(link->second);
        if (history && !etag.empty() && Narrow(history->card.etag) == etag) continue;
      }
      urls.push_back(url);
    }
    full_ = changes.full;
    return urls;
  }

  Contacts::Item ContactOf(std::int32_t id) const {
    Contacts::Item contact;
    engine_.contacts->Find(id, contact);
    return contact;
  }

  std::wstring GroupName(std::int32_t groupId) const {
    Groups::Item group;
    return engine_.groups->Find(groupId, group) && group ? group->name : std::wstring();
  }

  // Removes a contact here whose card is gone from the server.
  void RemoveHere(std::int32_t id) {
    ContactHistory* history = &engine_.journal->contacts[id];
    history->card = CardLink{};
    engine_.journal->Drop(id);
    if (engine_.contacts->Remove(id)) ++report_.deleted;
  }

  void ApplyRemovals(const carddav::Changes& changes) {
    std::vector<std::int32_t> gone;
    if (full_) {
      for (const auto& [url, id] : linked_)
        if (listed_.count(url) == 0) gone.push_back(id);
    } else {
      for (const std::string& url : changes.removed) {
        const auto link = linked_.find(url);
        if (link != linked_.end()) gone.push_back(link->second);
      }
    }
    for (const std::int32_t id : gone) {
      if (ContactSyncs(id))
        RemoveHere(id);
      else
        engine_.journal->contacts[id].card = CardLink{};
    }
  }

  CardFields LocalFields(const Contact& contact, const ContactHistory* history) const {
    CardFields card;
    card.name = contact.name;
    card.notes = text::NotesPlainText(contact.notes);
    card.group = GroupName(contact.groupId);
    card.hasInterval = true;
    card.unit = contact.unit;
    card.count = contact.count;
    card.lastContacted = contact.lastContacted;
    if (history) {
      card.snoozedUntil = history->snoozedUntil;
      card.log = history->entries;
      card.details = history->details;
    }
    return card;
  }

  std::int32_t GroupFor(const std::wstring& name) {
    const std::wstring wanted = name.empty() ? kGroupForUngrouped : name;
    for (const Groups::Item& group : *engine_.groups)
      if (group && Lower(group->name) == Lower(wanted)) return group->id;
    Groups::Item added;
    if (!engine_.groups->AddAndGet(wanted, L"", Days, 0, added) || !added) return -1;
    return added->id;
  }

  // The picture file of the server's picture where it changed there (a first
  // sync takes it only for a contact without one); the contact's own otherwise.
  std::wstring PictureFrom(const Contact& contact, const CardFields* base, const CardFields& remote) {
    const bool changed = base ? remote.photoLine != base->photoLine : contact.imagePath.empty();
    if (!changed || remote.picture.empty()) return contact.imagePath;
    const std::wstring folder = paths::ImagesFolderFor(paths::FolderOf(engine_.optionsPath)) +
                                platform::PathSeparator() + L"contacts";
    const std::wstring path = interchange::WritePictureFile(remote.picture, remote.pictureType, folder, remote.name);
    if (path.empty()) report_.problems.push_back(remote.name + L": the picture could not be saved.");
    return path.empty() ? contact.imagePath : path;
  }

  // Puts the merged fields into the contact and its journal; true when anything changed.
  bool Store(Contact& contact, const CardFields& merged, const std::wstring& imagePath) {
    const CardFields before = LocalFields(contact, engine_.journal->Find(contact.id));
    if (SameFields(before, merged) && imagePath == contact.imagePath) return false;
    const std::wstring notes = merged.notes == before.notes ? contact.notes : text::NotesRtf(merged.notes);
    const std::int32_t groupId = merged.group.empty() || Lower(merged.group) == Lower(before.group)
                                     ? contact.groupId
                                     : GroupFor(merged.group);
    const IntervalUnit unit = merged.hasInterval ? merged.unit : contact.unit;
    const std::int32_t count = merged.hasInterval ? merged.count : contact.count;
    const Time previous = contact.lastContacted;
    contact.Update(merged.name, imagePath, unit, count, merged.lastContacted, notes, groupId);
    if (merged.lastContacted != previous) contact.previousContacted = previous;
    ContactHistory& history = engine_.journal->contacts[contact.id];
    history.entries = merged.log;
    history.snoozedUntil = merged.snoozedUntil;
    history.knownLastContacted = contact.lastContacted;
    history.known = true;
    StoreDetails(contact.id, merged.details);
    engine_.journal->Touch();
    return true;
  }

  // The card's details; the cells a CSV import kept stay, having no place in a card.
  void StoreDetails(std::int32_t id, const ContactDetails& fromCard) {
    ContactDetails details = fromCard;
    details.kept = CardKept(fromCard);
    for (const KeptProperty& kept : engine_.journal->Details(id).kept)
      if (!kept.column.empty()) details.kept.push_back(kept);
    engine_.journal->SetDetails(id, std::move(details));
  }

  void Conflicts(const std::wstring& name, const std::vector<std::wstring>& fields) {
    if (fields.empty()) return;
    std::wstring text = name + L" (";
    for (std::size_t i = 0; i < fields.size(); ++i) text += (i ? L", " : L"") + fields[i];
    report_.conflicts.push_back(text + L")");
  }

  void Apply(const carddav::Card& card) {
    CardFields remote;
    std::wstring why;
    if (!ParseCard(card.data, remote, why)) {
      report_.problems.push_back(Wide(card.url) + L": " + why);
      return;
    }
    if (!remote.pictureProblem.empty()) report_.problems.push_back(remote.name + L": " + remote.pictureProblem);
    Contacts::Item contact;
    CardFields base;
    const CardFields* basePointer = nullptr;
    const auto link = linked_.find(card.url);
    if (link != linked_.end()) {
      contact = ContactOf(link->second);
      const ContactHistory* history = engine_.journal->Find(link->second);
      std::wstring ignored;
      if (history && ParseCard(Narrow(history->card.synced), base, ignored)) basePointer = &base;
    } else {
      std::int32_t id = 0;
      std::wstring by;
      if (matcher_->Find(remote, id, by)) contact = ContactOf(id);
    }
    if (!CardSyncs(remote) || (contact && !ContactSyncs(contact->id))) return;
    if (!contact) {
      Add(card, remote);
      return;
    }
    const Merged merged = Merge(basePointer, LocalFields(*contact, engine_.journal->Find(contact->id)), remote);
    Conflicts(contact->name, merged.conflicts);
    const std::wstring picturePath = PictureFrom(*contact, basePointer, remote);
    const bool pictureTaken = picturePath != contact->imagePath;
    if (Store(*contact, merged.card, picturePath)) ++report_.pulled;
    ContactHistory& history = engine_.journal->contacts[contact->id];
    // The picture file that matches the card's: the server's, when taken now;
    // as before, when the server's did not change (a picture changed here
    // then still goes at the push); for a first link, the contact's own, or
    // none when the card has no picture, so the contact's is sent.
    std::wstring picture = contact->imagePath;
    bool known = true;
    if (!pictureTaken && basePointer) {
      picture = history.card.picture;
      known = history.card.pictureKnown;
    } else if (!pictureTaken && remote.photoLine.empty()) {
      picture.clear();
    }
    history.card = LinkOf(remote, card, picture, known);
    engine_.journal->Touch();
  }

  void Add(const carddav::Card& card, const CardFields& remote) {
    const std::int32_t groupId = GroupFor(remote.group);
    IntervalUnit unit = kDefaultUnit;
    std::int32_t count = kDefaultCount;
    Groups::Item group;
    if (remote.hasInterval) {
      unit = remote.unit;
      count = remote.count;
    } else if (engine_.groups->Find(groupId, group) && group && group->count > 0) {
      unit = group->unit;
      count = group->count;
    }
    Contacts::Item contact(new Contact(0, remote.name, L"", unit, count,
                                       remote.lastContacted != 0 ? remote.lastContacted : now_,
                                       remote.notes.empty() ? std::wstring() : text::NotesRtf(remote.notes), groupId));
    contact->imagePath = PictureFrom(*contact, nullptr, remote);
    if (!engine_.contacts->Insert(contact)) return;
    StoreDetails(contact->id, remote.details);
    ContactHistory& history = engine_.journal->contacts[contact->id];
    history.entries = remote.log;
    history.snoozedUntil = remote.snoozedUntil;
    history.knownLastContacted = contact->lastContacted;
    history.known = true;
    history.card = LinkOf(remote, card, contact->imagePath, true);
    engine_.journal->Touch();
    ++report_.pulled;
  }

  void DeleteRemovedHere() {
    std::vector<CardLink> left;
    for (const CardLink& link : state_.removedHere) {
      if (!LinkSyncs(link)) continue;
      if (report_.failed || Wide(book_) != state_.book) {
        left.push_back(link);
        continue;
      }
      carddav::Outcome outcome = client_.Delete(Narrow(link.href), Narrow(link.etag));
      // Changed there since: deleted here is what the user asked for.
      if (!outcome.ok && outcome.status == 412) outcome = client_.Delete(Narrow(link.href), "");
      if (outcome.ok) {
        ++report_.deleted;
      } else if (outcome.failure != http::Failure::None || outcome.status == 401) {
        Check(outcome);
        left.push_back(link);
      } else {
        report_.problems.push_back(link.href + L": " + Wide(outcome.why));
      }
    }
    state_.removedHere = std::move(left);
  }

  // Writes the contact's card: its merge with the server's on a 412.
  void Push(Contact& contact) {
    ContactHistory& history = engine_.journal->contacts[contact.id];
    CardFields base;
    std::wstring why;
    const bool hasBase = history.card.Linked() && ParseCard(Narrow(history.card.synced), base, why);
    CardFields card = hasBase ? base : CardFields{};
    const CardFields local = LocalFields(contact, &history);
    if (hasBase && !history.card.pictureKnown) {
      // A link from before pictures were followed: the card's picture is
      // taken to be the contact's, as nothing tells otherwise.
      history.card.picture = contact.imagePath;
      history.card.pictureKnown = true;
      engine_.journal->Touch();
    }
    bool pictureChanged = hasBase && history.card.picture != contact.imagePath;
    if (hasBase && !pictureChanged && SameFields(base, local)) return;
    if (!history.card.Linked()) {
      card.uid = NewUid();
      history.card.uid = card.uid;
      history.card.href = Wide(book_) + card.uid + L".vcf";
    }
    std::string etag = Narrow(history.card.etag);
    bool created = !hasBase;
    CardFields merged = Merge(hasBase ? &base : nullptr, local, hasBase ? base : card).card;
    if (!hasBase) {
      merged = local;
      merged.uid = card.uid;
      // A contact new to the server takes its picture along.
      pictureChanged = true;
    }
    // A picture given here replaces the card's; one taken away removes it.
    if (pictureChanged) merged.photoLine = PhotoLineOf(contact.imagePath, version4_);
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
      const std::string data = WriteCard(merged, version4_);
      std::string newEtag;
      const carddav::Outcome outcome = client_.Put(Narrow(history.card.href), data, created ? std::string() : etag,
                                                   version4_, newEtag);
      if (outcome.ok) {
        history.card.etag = Wide(newEtag);
        history.card.synced = Wide(data);
        history.card.picture = contact.imagePath;
        history.card.pictureKnown = true;
        engine_.journal->Touch();
        ++report_.pushed;
        return;
      }
      if (outcome.status != 412) {
        if (outcome.failure != http::Failure::None || outcome.status == 401)
          Check(outcome);
        else
          report_.problems.push_back(contact.name + L": " + Wide(outcome.why));
        if (created && !hasBase) history.card = CardLink{};
        return;
      }
      // Changed on the server since it was read: read it, merge, write again.
      std::vector<carddav::Card> fresh;
      if (!Check(client_.Fetch(book_, {Narrow(history.card.href)}, fresh))) return;
      CardFields remote;
      if (fresh.empty() || !ParseCard(fresh.front().data, remote, why)) {
        report_.problems.push_back(contact.name + L": the card changed on the server and could not be read again.");
        return;
      }
      const Merged again = Merge(hasBase ? &base : nullptr, LocalFields(contact, &history), remote);
      Conflicts(contact.name, again.conflicts);
      const std::wstring picturePath = PictureFrom(contact, hasBase ? &base : nullptr, remote);
      // A picture changed on the server too is the server's, as every field changed on both sides.
      if (picturePath != contact.imagePath) pictureChanged = false;
      if (Store(contact, again.card, picturePath)) ++report_.pulled;
      merged = again.card;
      if (pictureChanged) merged.photoLine = PhotoLineOf(contact.imagePath, version4_);
      etag = fresh.front().etag;
      created = false;
    }
    report_.problems.push_back(contact.name + L": the card kept changing on the server; it is written next time.");
  }

  void PushLocal() {
    std::vector<Contacts::Item> contacts(engine_.contacts->begin(), engine_.contacts->end());
    for (const Contacts::Item& contact : contacts) {
      if (report_.failed) return;
      if (contact && ContactSyncs(contact->id)) Push(*contact);
    }
  }

  // The groups the user chose: a contact of another group is neither written
  // to the server nor deleted there, and a card of another group stays there
  // untouched. A card of a group not here yet syncs, as every card did before
  // groups were chosen.
  bool ContactSyncs(std::int32_t id) const {
    const Contacts::Item contact = ContactOf(id);
    return !contact || state_.SyncsGroup(contact->groupId);
  }

  bool CardSyncs(const CardFields& card) const {
    if (state_.groups.empty()) return true;
    const std::wstring wanted = Lower(card.group.empty() ? kGroupForUngrouped : card.group);
    for (const Groups::Item& group : *engine_.groups)
      if (group && Lower(group->name) == wanted) return state_.SyncsGroup(group->id);
    return true;
  }

  // A card deleted here is judged by the group it had when last synced.
  bool LinkSyncs(const CardLink& link) const {
    if (state_.groups.empty()) return true;
    CardFields synced;
    std::wstring why;
    return !ParseCard(Narrow(link.synced), synced, why) || CardSyncs(synced);
  }

  Engine& engine_;
  carddav::Client& client_;
  const Account& account_;
  const Time now_;
  const bool onlyPropose_;
  SyncAccount& state_;
  Report report_;
  std::string book_;
  bool version4_ = false;
  bool full_ = false;
  std::unordered_map<std::string, std::int32_t> linked_;
  std::set<std::string> listed_;
  std::unique_ptr<CardMatcher> matcher_;
};

}  // namespace

Report Sync(Engine& engine, carddav::Client& client, const Account& account, Time now) {
  return Run(engine, client, account, now).Go();
}

Report ProposeMatches(Engine& engine, carddav::Client& client, const Account& account,
                      std::vector<ProposedMatch>& proposals) {
  proposals.clear();
  return Run(engine, client, account, 0, true).Propose(proposals);
}

std::wstring ConflictSummary(const std::vector<std::wstring>& conflicts) {
  if (conflicts.empty()) return {};
  std::wstring text = conflicts.size() == 1 ? L"1 contact was" : std::to_wstring(conflicts.size()) + L" contacts were";
  text += L" changed here and on another device; the other device's version was kept: ";
  for (std::size_t i = 0; i < conflicts.size(); ++i) text += (i ? L", " : L"") + conflicts[i];
  return text + L".";
}

}  // namespace cardsync
