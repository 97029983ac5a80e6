#include "store/DamagedCopies.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace sona {

std::string DamagedCopyName(const std::string& storeName, const CopyTime& t, int attempt) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    std::string name = storeName + ".damaged-" + stamp;
    if (attempt > 1) name += "-" + std::to_string(attempt);
    return name;
}

namespace {

// Sort key of a copy's name: its stamp, then its attempt number (so "-10" comes after "-9");
// false for names that are not copies of storeName.
bool CopyOrder(const std::string& name, const std::string& storeName, std::tuple<std::string, long>* key) {
    std::string plain = storeName + ".damaged";
    if (name == plain) {
        *key = {"", 0};
        return true;
    }
    std::string prefix = plain + "-";
    if (name.size() != prefix.size() + 15 && name.size() <= prefix.size() + 16) return false;
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    std::string stamp = name.substr(prefix.size(), 15);
    for (size_t i = 0; i < stamp.size(); i++)
        if (i == 8 ? stamp[i] != '-' : (stamp[i] < '0' || stamp[i] > '9')) return false;
    long attempt = 1;
    if (name.size() > prefix.size() + 15) {
        std::string rest = name.substr(prefix.size() + 15);
        if (rest[0] != '-' || rest.size() < 2 || rest.size() > 7) return false;
        for (size_t i = 1; i < rest.size(); i++)
            if (rest[i] < '0' || rest[i] > '9') return false;
        attempt = std::strtol(rest.c_str() + 1, nullptr, 10);
    }
    *key = {stamp, attempt};
    return true;
}

}  // namespace

std::vector<std::string> DamagedCopiesToDrop(const std::vector<std::string>& names, const std::string& storeName,
                                             size_t keep) {
    std::vector<std::pair<std::tuple<std::string, long>, std::string>> copies;
    for (const std::string& name : names) {
        std::tuple<std::string, long> key;
        if (CopyOrder(name, storeName, &key)) copies.emplace_back(key, name);
    }
    std::sort(copies.begin(), copies.end());
    std::vector<std::string> drop;
    for (size_t i = 0; i + keep < copies.size(); i++) drop.push_back(copies[i].second);
    return drop;
}

}  // namespace sona
