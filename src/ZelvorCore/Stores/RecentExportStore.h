#pragma once

#include "ZelvorCore/Models/ExportedAsset.h"

#include <filesystem>
#include <string>
#include <vector>

namespace brisklet {

class DefaultsStore;

/// The newest-first list of exported files. The stored list is the source of truth; nothing is
/// cached, so two stores on the same defaults never disagree.
class RecentExportStore {
public:
    RecentExportStore(DefaultsStore& defaults, std::string key, int maxItems);

    /// The stored list; empty when nothing is stored or the document cannot be read.
    std::vector<ExportedAsset> load() const;
    /// Moves `asset` to the front (replacing an entry with the same file) and keeps at most
    /// `maxItems` entries. Returns the new list.
    std::vector<ExportedAsset> record(const ExportedAsset& asset);
    /// Drops every entry for `url`. Returns the new list.
    std::vector<ExportedAsset> remove(const std::filesystem::path& url);
    void persist(const std::vector<ExportedAsset>& list);

    int maxItems() const { return maxItems_; }

private:
    DefaultsStore& defaults_;
    std::string key_;
    int maxItems_;
};

} // namespace brisklet
