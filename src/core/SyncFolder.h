#pragma once

#include "core/Debouncer.h"
#include "core/ObjectStore.h"
#include "core/Value.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lexorra {

// Mirrors the object store into a folder that a file-synchronisation program (Syncthing,
// Nextcloud, Dropbox, ...) replicates between machines: one JSON file per record. Local
// commits are written there at once; files that another machine wrote are found by a scan
// and applied to the store as remote transactions, which fires the store's observers.
//
// Which copy of a record wins: a tombstone (hidden) over a live record, so a deleted
// workflow never comes back; otherwise the later modification. Conflict copies that sync
// programs leave next to a file ("x.sync-conflict-....json") are read like any other
// file: records are matched by the id inside, so a workflow is never shown twice, and the
// copies are removed once merged. A file that does not parse is skipped and left alone.
//
//   SyncFolder sync(*store, settings.syncFolder());
//   sync.exportAll();             // when synchronisation is switched on
//   sync.startPolling(scheduler); // or call scanNow() yourself
class SyncFolder {
public:
    SyncFolder(ObjectStore& store, std::filesystem::path folder);
    ~SyncFolder();
    SyncFolder(const SyncFolder&) = delete;
    SyncFolder& operator=(const SyncFolder&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }

    struct ScanResult {
        int imported = 0;        // records applied to the store
        int exported = 0;        // files written for records the folder lacked or had older
        int conflictsMerged = 0; // extra copies of a record folded in and removed
        int skipped = 0;         // files that do not parse as a record
    };
    // Reconciles the folder and the store once, in both directions.
    ScanResult scanNow();
    // Writes the file of every record that the folder lacks or holds in an older state.
    int exportAll();

    // Scans every interval seconds on the scheduler's main thread, and picks up commits of
    // other processes to the same store file. Stops when stopPolling() is called or this
    // object goes away.
    void startPolling(Scheduler& scheduler, double intervalSeconds = 2.0);
    void stopPolling();

    std::filesystem::path fileFor(const std::string& id) const;
    static Value recordToValue(const WorkflowRecord& record);
    static std::optional<WorkflowRecord> recordFromValue(const Value& value);
    // Whether a should replace b: a tombstone beats a live record, then the later change.
    static bool supersedes(const WorkflowRecord& a, const WorkflowRecord& b);

private:
    struct CachedFile {
        std::filesystem::file_time_type mtime;
        std::uintmax_t size = 0;
        std::optional<WorkflowRecord> record;
    };
    void exportIds(const std::vector<std::string>& ids);
    bool writeRecord(const WorkflowRecord& record);
    std::optional<WorkflowRecord> readCached(const std::filesystem::path& file);
    void pollTick();

    ObjectStore& m_store;
    std::filesystem::path m_folder;
    int m_observerToken = 0;
    std::map<std::filesystem::path, CachedFile> m_cache;
    // The next scan; a new startPolling replaces it, and it goes with this object.
    std::optional<Debouncer> m_poll;
};

} // namespace lexorra
