#include "c_names.h"

#include <map>
#include <set>

#include "c_array.h"

namespace dotlane::cli {

namespace {

// Every name an array brings into the output: each must be free, or the macros of one array
// would rewrite the name of another.
constexpr const char* kArraySuffixes[] = {"",    "_width",        "_height",      "_size",
                                          "_fb", "_decoded_size", "_frame_count", "_frame_delays"};
constexpr const char* kTableSuffixes[] = {"", "_entry", "_count"};
// The decoder's names, which a compressed output defines.
constexpr const char* kDecoderNames[] = {"dotlane_rle_reader", "dotlane_rle_begin",
                                         "dotlane_rle_next", "dotlane_rle_decode"};

template <std::size_t N>
bool is_free(const std::set<std::string>& taken, const std::string& name,
             const char* const (&suffixes)[N]) {
    for (const char* suffix : suffixes)
        if (taken.count(name + suffix)) return false;
    return true;
}

template <std::size_t N>
void take(std::set<std::string>& taken, const std::string& name, const char* const (&suffixes)[N]) {
    for (const char* suffix : suffixes)
        taken.insert(name + suffix);
}

// c_name_problem speaks of --c-array, the option of one picture.
std::string about_option(std::string problem, const std::string& option) {
    if (problem.rfind("--c-array", 0) == 0) problem.replace(0, 9, option);
    return problem;
}

} // namespace

ArrayNames array_names(const std::vector<std::string>& paths, const std::vector<std::string>& given,
                       const std::string& option, const std::optional<std::string>& table,
                       Style style, const std::optional<std::string>& prefix) {
    ArrayNames result;
    std::set<std::string> taken(std::begin(kDecoderNames), std::end(kDecoderNames));
    const auto clash = [](const std::string& name) {
        return "the name \"" + name + "\" is given twice, or clashes with " + name +
               "_width and the like of another name";
    };
    if (table) {
        if (const auto problem = c_name_problem(*table))
            return {{}, about_option(*problem, "--table")};
        take(taken, *table, kTableSuffixes);
    }
    for (const std::string& name : given) {
        if (const auto problem = name_problem(style, name))
            return {{}, about_option(*problem, option)};
        if (!is_free(taken, name, kArraySuffixes)) return {{}, clash(name)};
        take(taken, name, kArraySuffixes);
    }
    if (!given.empty() && prefix)
        return {{},
                "--name-prefix goes before the names made from the file names; " + option +
                    " gives whole names: give one or the other"};
    if (!given.empty()) return {given, std::nullopt};
    if (prefix)
        if (const auto problem = c_name_problem(*prefix))
            return {{}, about_option(*problem, "--name-prefix")};
    // The next number to try for each name, so many files of one name take linear time.
    std::map<std::string, int> next;
    for (const std::string& path : paths) {
        const std::string base = prefix ? *prefix + "_" + default_name(path) : default_name(path);
        if (const auto problem = name_problem(style, base))
            return {{}, about_option(*problem, "--name-prefix")};
        std::string name = base;
        for (int& n = next.try_emplace(base, 2).first->second;
             !is_free(taken, name, kArraySuffixes); ++n)
            name = base + "_" + std::to_string(n);
        take(taken, name, kArraySuffixes);
        result.names.push_back(name);
    }
    return result;
}

} // namespace dotlane::cli
