#include "core/SyncFolder.h"

#include "core/AtomicFile.h"
#include "core/Diagnostics.h"
#include "core/Json.h"
#include "core/Scheduler.h"

#include <algorithm>
#include <set>

namespace lexorra {
namespace {

// Ids are chosen by users' files too; anything outside a safe set is escaped so that an id
// can never name a path outside the folder.
std::string fileNameForId(const std::string& id) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string name;
    for (unsigned char c : id) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_')
            name += static_cast<char>(c);
        else {
            name += '%';
            name += hex[c >> 4];
            name += hex[c & 0x0F];
        }
    }
    return name + ".json";
}

bool isCandidate(const std::filesystem::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    // Our own temporary files and the sync programs' partial downloads start with a dot.
    return !name.empty() && name[0] != '.' && entry.path().extension() == ".json" && entry.is_regular_file();
}

} // namespace

SyncFolder::SyncFolder(ObjectStore& store, std::filesystem::path folder) : m_store(store), m_folder(std::move(folder)) {
    m_observerToken = m_store.addObserver([this](const StoreChange& change) {
        if (change.author == ChangeAuthor::local) exportIds(change.ids);
    });
}

SyncFolder::~SyncFolder() {
    m_store.removeObserver(m_observerToken);
}

std::filesystem::path SyncFolder::fileFor(const std::string& id) const {
    return m_folder / fileNameForId(id);
}

Value SyncFolder::recordToValue(const WorkflowRecord& r) {
    Dictionary d = makeDictionary();
    d.set("id", r.id);
    d.set("name", r.name);
    d.set("date", r.date);
    d.set("jsonString", r.jsonString);
    d.set("hidden", r.hidden);
    d.set("modified", r.modified);
    d.set("machineId", r.machineId);
    d.set("descriptionText", r.descriptionText);
    d.set("flag", r.flag);
    d.set("index", r.index);
    return d;
}

std::optional<WorkflowRecord> SyncFolder::recordFromValue(const Value& v) {
    const Value* id = v.get("id");
    const Value* jsonString = v.get("jsonString");
    const Value* hidden = v.get("hidden");
    const Value* modified = v.get("modified");
    if (!id || !id->isString() || id->asString().empty() || !jsonString || !jsonString->isString() || !hidden ||
        !hidden->isBool() || !modified || !modified->toInteger())
        return std::nullopt;
    WorkflowRecord r;
    r.id = id->asString();
    r.jsonString = jsonString->asString();
    r.hidden = hidden->asBool();
    r.modified = *modified->toInteger();
    if (const Value* x = v.get("name"); x && x->isString()) r.name = x->asString();
    if (const Value* x = v.get("date"); x && x->isNumber())
        r.date = x->isInteger() ? double(x->asInteger()) : x->asDouble();
    if (const Value* x = v.get("machineId"); x && x->isString()) r.machineId = x->asString();
    if (const Value* x = v.get("descriptionText"); x && x->isString()) r.descriptionText = x->asString();
    if (const Value* x = v.get("flag"); x && x->toInteger()) r.flag = *x->toInteger();
    if (const Value* x = v.get("index"); x && x->toInteger()) r.index = *x->toInteger();
    return r;
}

bool SyncFolder::supersedes(const WorkflowRecord& a, const WorkflowRecord& b) {
    if (a.hidden != b.hidden) return a.hidden;
    if (a.modified != b.modified) return a.modified > b.modified;
    // Same instant on two machines: any fixed order makes every machine pick the same copy.
    if (a.machineId != b.machineId) return a.machineId > b.machineId;
    return a.jsonString > b.jsonString;
}

bool SyncFolder::writeRecord(const WorkflowRecord& record) {
    std::string error;
    const auto file = fileFor(record.id);
    // A file there that is not a record may be another machine's copy damaged on the way:
    // it stays for the user to look at, and this record is not mirrored until it is gone.
    std::error_code ec;
    if (std::filesystem::exists(file, ec) && !readCached(file)) {
        diagnostic("sync folder: " + file.string() + " is not a readable record; left as it is");
        return false;
    }
    if (!AtomicFile::write(file, json::write(recordToValue(record), {.pretty = true}) + "\n", &error)) {
        diagnostic("sync folder: " + error);
        return false;
    }
    m_cache.erase(file);
    return true;
}

void SyncFolder::exportIds(const std::vector<std::string>& ids) {
    for (const auto& id : ids) {
        auto found = m_store.fetch(id);
        if (found.empty()) continue;
        // Another machine may have written a copy that wins (a delete, a later edit) which
        // this one has not scanned yet: overwriting it would lose that change. The next
        // scan brings it in instead.
        const auto file = fileFor(id);
        std::error_code ec;
        if (std::filesystem::exists(file, ec))
            if (auto there = readCached(file); there && supersedes(*there, found.front())) continue;
        writeRecord(found.front());
    }
}

std::optional<WorkflowRecord> SyncFolder::readCached(const std::filesystem::path& file) {
    std::error_code ec;
    const auto mtime = std::filesystem::last_write_time(file, ec);
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) return std::nullopt;
    if (auto it = m_cache.find(file); it != m_cache.end() && it->second.mtime == mtime && it->second.size == size)
        return it->second.record;
    std::optional<WorkflowRecord> record;
    if (auto bytes = readWholeFile(file))
        if (auto parsed = json::parse(*bytes); parsed && parsed->isMap()) record = recordFromValue(*parsed);
    m_cache[file] = {mtime, size, record};
    return record;
}

int SyncFolder::exportAll() {
    int written = 0;
    for (const auto& record : m_store.records()) {
        const auto file = fileFor(record.id);
        std::error_code ec;
        auto existing = std::filesystem::exists(file, ec) ? readCached(file) : std::nullopt;
        if (!existing || supersedes(record, *existing)) written += writeRecord(record) ? 1 : 0;
    }
    return written;
}

SyncFolder::ScanResult SyncFolder::scanNow() {
    ScanResult result;
    std::map<std::string, std::vector<std::pair<std::filesystem::path, WorkflowRecord>>> copies;
    std::error_code ec;
    std::set<std::filesystem::path> seen;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, ec)) {
        if (!isCandidate(entry)) continue;
        seen.insert(entry.path());
        auto record = readCached(entry.path());
        if (!record) {
            ++result.skipped;
            continue;
        }
        copies[record->id].emplace_back(entry.path(), std::move(*record));
    }
    std::erase_if(m_cache, [&](const auto& item) { return seen.count(item.first) == 0; });

    std::map<std::string, WorkflowRecord> local;
    for (auto& record : m_store.records())
        local.emplace(record.id, std::move(record));

    std::vector<WorkflowRecord> incoming;
    for (auto& [id, files] : copies) {
        const WorkflowRecord* best = &files.front().second;
        for (const auto& [path, record] : files)
            if (supersedes(record, *best)) best = &record;
        auto mine = local.find(id);
        const bool take = mine == local.end() || supersedes(*best, mine->second);
        const WorkflowRecord& winner = take ? *best : mine->second;
        if (take) incoming.push_back(*best);

        const auto canonical = fileFor(id);
        bool canonicalCurrent = false;
        for (const auto& [path, record] : files)
            if (path == canonical && record == winner) canonicalCurrent = true;
        if (!canonicalCurrent && writeRecord(winner) && !take) ++result.exported;
        for (const auto& [path, record] : files) {
            if (path == canonical) continue;
            std::filesystem::remove(path, ec);
            m_cache.erase(path);
            ++result.conflictsMerged;
        }
        if (mine != local.end()) local.erase(mine);
    }
    // Records the folder has never seen (created before synchronisation was switched on).
    for (const auto& [id, record] : local)
        result.exported += writeRecord(record) ? 1 : 0;

    if (!incoming.empty()) {
        std::string error;
        if (m_store.applyRemote(incoming, &error))
            result.imported = static_cast<int>(incoming.size());
        else
            diagnostic(error);
    }
    return result;
}

void SyncFolder::startPolling(Scheduler& scheduler, double intervalSeconds) {
    m_poll.emplace(scheduler, intervalSeconds); // the scan an earlier call scheduled is dropped
    m_poll->schedule([this] { pollTick(); });
}

void SyncFolder::stopPolling() {
    m_poll.reset();
}

void SyncFolder::pollTick() {
    m_store.refresh();
    scanNow();
    if (m_poll) m_poll->schedule([this] { pollTick(); });
}

} // namespace lexorra
