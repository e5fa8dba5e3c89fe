#include "settings/settings_keys.h"

namespace tarnwick {

#define TARNWICK_FIELD(member) [](Settings& s) -> SettingField { return &s.member; }

const std::array<SettingKey, 23> kSettingKeys{{
    {"Current directory:", TARNWICK_FIELD(workFolder), true},
    {"Web adress:", TARNWICK_FIELD(fetch.startAddress)},
    {"Search links:", TARNWICK_FIELD(fetch.findWebLinks)},
    {"Search images:", TARNWICK_FIELD(fetch.findImages)},
    {"Search emails:", TARNWICK_FIELD(fetch.findEmails)},
    {"Search keywords:", TARNWICK_FIELD(fetch.findKeywords)},
    {"Match case:", TARNWICK_FIELD(fetch.matchCase)},
    {"Keywords to search:", TARNWICK_FIELD(fetch.keywords)},
    {"Links level:", TARNWICK_FIELD(fetch.levels)},
    {"Folder to download:", TARNWICK_FIELD(fetch.downloadFolder)},
    {"Max to download:", TARNWICK_FIELD(fetch.maxDownloadGB)},
    {"Only root site:", TARNWICK_FIELD(fetch.onlyRootDomain)},
    {"Only paternt domain:", TARNWICK_FIELD(fetch.onlyParentDomain)},
    {"Search local links:", TARNWICK_FIELD(local.findWebLinks)},
    {"Search local images:", TARNWICK_FIELD(local.findImages)},
    {"Search local emails:", TARNWICK_FIELD(local.findEmails)},
    {"Search local keywords:", TARNWICK_FIELD(local.findKeywords)},
    {"Match local case:", TARNWICK_FIELD(local.matchCase)},
    {"Keywords local to search:", TARNWICK_FIELD(local.keywords)},
    {"Search local in:", TARNWICK_FIELD(local.searchPath)},
    {"Report local in:", TARNWICK_FIELD(local.reportText)},
    {"Find local in file or folder:", TARNWICK_FIELD(local.searchTarget)},
    // Added after the first 22, so older files read as they always did.
    {"Parallel connections:", TARNWICK_FIELD(fetch.parallelConnections)},
}};

#undef TARNWICK_FIELD

}  // namespace tarnwick
