#include "tests/powercut/disk_replay.h"

#include <fstream>
#include <iterator>
#include <set>

namespace powercut {

bool ReadCallLog(const std::string& path, std::vector<RecordedCall>* calls) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t at = 0;
  while (at < all.size()) {
    RecordedCall call;
    if (all.size() - at < sizeof call.head) return false;
    all.copy(reinterpret_cast<char*>(&call.head), sizeof call.head, at);
    at += sizeof call.head;
    const uint64_t rest = uint64_t{call.head.nameBytes} + call.head.targetBytes + call.head.dataBytes;
    if (all.size() - at < rest) return false;
    call.name = all.substr(at, call.head.nameBytes);
    at += call.head.nameBytes;
    call.target = all.substr(at, call.head.targetBytes);
    at += call.head.targetBytes;
    call.data = all.substr(at, call.head.dataBytes);
    at += call.head.dataBytes;
    calls->push_back(std::move(call));
  }
  return true;
}

DiskReplay::DiskReplay(const std::map<std::string, std::string>& start) {
  for (const auto& [name, content] : start) {
    syncedNames_[name] = static_cast<int>(files_.size());
    files_.push_back({content, {}});
  }
}

std::map<std::string, int> DiskReplay::Names(size_t keptChanges) const {
  std::map<std::string, int> names = syncedNames_;
  for (size_t i = 0; i < keptChanges && i < unsyncedNames_.size(); ++i) {
    const NameChange& change = unsyncedNames_[i];
    switch (change.kind) {
      case NameChange::Link:
        names[change.name] = change.file;
        break;
      case NameChange::Rename: {
        auto from = names.find(change.name);
        if (from == names.end()) break;
        int file = from->second;
        names.erase(from);
        names[change.target] = file;
        break;
      }
      case NameChange::Unlink:
        names.erase(change.name);
        break;
    }
  }
  return names;
}

void DiskReplay::ApplyChange(const Change& change, std::string* content) {
  if (change.truncate) {
    content->resize(change.length, '\0');
    return;
  }
  if (content->size() < change.offset + change.data.size()) content->resize(change.offset + change.data.size(), '\0');
  content->replace(change.offset, change.data.size(), change.data);
}

std::string DiskReplay::Content(int file, Keep keep) const {
  const FileData& data = files_[static_cast<size_t>(file)];
  std::string content = data.synced;
  if (keep == Keep::None) return content;
  size_t whole = data.unsynced.size();
  if (keep == Keep::Torn && whole > 0) --whole;
  for (size_t i = 0; i < whole; ++i) ApplyChange(data.unsynced[i], &content);
  if (keep == Keep::Torn && !data.unsynced.empty()) {
    Change half = data.unsynced.back();
    half.data.resize(half.data.size() / 2);
    ApplyChange(half, &content);
  }
  return content;
}

bool DiskReplay::Apply(const RecordedCall& call) {
  const CallHead& head = call.head;
  switch (head.call) {
    case Call::Open: {
      if (head.folder != 0) {
        open_[head.fd] = -1;
        return true;
      }
      std::map<std::string, int> now = Names(unsyncedNames_.size());
      auto named = now.find(call.name);
      int file;
      if (head.length == 1 || named == now.end()) {
        file = static_cast<int>(files_.size());
        files_.push_back({});
        unsyncedNames_.push_back({NameChange::Link, call.name, {}, file});
      } else {
        file = named->second;
      }
      open_[head.fd] = file;
      if (head.offset == 1) files_[static_cast<size_t>(file)].unsynced.push_back({true, 0, 0, {}});
      return true;
    }
    case Call::Write:
    case Call::Truncate: {
      auto fd = open_.find(head.fd);
      if (fd == open_.end() || fd->second < 0) return false;
      Change change;
      change.truncate = head.call == Call::Truncate;
      change.offset = head.offset;
      change.length = head.length;
      change.data = call.data;
      files_[static_cast<size_t>(fd->second)].unsynced.push_back(std::move(change));
      return true;
    }
    case Call::Sync: {
      auto fd = open_.find(head.fd);
      if (fd == open_.end()) return false;
      if (fd->second < 0) {
        // A sync of the folder puts every name as it now stands on the disk.
        syncedNames_ = Names(unsyncedNames_.size());
        unsyncedNames_.clear();
      } else {
        FileData& data = files_[static_cast<size_t>(fd->second)];
        for (const Change& change : data.unsynced) ApplyChange(change, &data.synced);
        data.unsynced.clear();
      }
      return true;
    }
    case Call::Rename:
      unsyncedNames_.push_back({NameChange::Rename, call.name, call.target, -1});
      return true;
    case Call::Unlink:
      unsyncedNames_.push_back({NameChange::Unlink, call.name, {}, -1});
      return true;
    case Call::Close:
      open_.erase(head.fd);
      return true;
  }
  return false;
}

std::map<std::string, std::string> DiskReplay::Current() const {
  std::map<std::string, std::string> folder;
  for (const auto& [name, file] : Names(unsyncedNames_.size())) folder[name] = Content(file, Keep::All);
  return folder;
}

std::vector<CutState> DiskReplay::States(const std::vector<std::string>& ignoredSuffixes) const {
  const size_t changes = unsyncedNames_.size();
  std::set<size_t> keptNames = {changes, 0};
  for (size_t undone = 1; undone <= 3 && undone <= changes; ++undone) keptNames.insert(changes - undone);

  // Per file: how much of its unsynced writing stays; -1 stands for every file.
  struct DataChoice {
    int file;
    Keep keep;
    Keep others;
    const char* how;
  };
  std::vector<DataChoice> dataChoices = {{-1, Keep::All, Keep::All, "every write kept"},
                                         {-1, Keep::None, Keep::None, "every unsynced write lost"}};
  for (size_t file = 0; file < files_.size(); ++file) {
    const std::vector<Change>& unsynced = files_[file].unsynced;
    if (unsynced.empty()) continue;
    dataChoices.push_back({static_cast<int>(file), Keep::None, Keep::All, "unsynced writes lost for "});
    if (!unsynced.back().truncate && unsynced.back().data.size() >= 2) {
      dataChoices.push_back({static_cast<int>(file), Keep::Torn, Keep::All, "last write torn for "});
    }
  }

  auto ignored = [&](const std::string& name) {
    for (const std::string& suffix : ignoredSuffixes) {
      if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        return true;
      }
    }
    return false;
  };
  std::vector<CutState> states;
  std::set<std::map<std::string, std::string>> seen;
  for (auto kept = keptNames.rbegin(); kept != keptNames.rend(); ++kept) {
    std::map<std::string, int> names = Names(*kept);
    for (const DataChoice& choice : dataChoices) {
      CutState state;
      std::string which;
      for (const auto& [name, file] : names) {
        if (ignored(name)) continue;
        bool chosen = choice.file < 0 || choice.file == file;
        if (chosen && choice.file >= 0) which += (which.empty() ? "" : ", ") + name;
        state.files[name] = Content(file, chosen ? choice.keep : choice.others);
      }
      // A choice about a file no name leads to any more changes nothing visible.
      if (choice.file >= 0 && which.empty()) continue;
      if (!seen.insert(state.files).second) continue;
      state.how = std::to_string(*kept) + " of " + std::to_string(changes) + " unsynced name changes kept; " +
                  choice.how + which;
      states.push_back(std::move(state));
    }
  }
  return states;
}

}  // namespace powercut
