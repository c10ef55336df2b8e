#include "declare/c_names.h"

#include <map>

#include "declare/bundle.h"
#include "declare/c_array.h"

namespace dotlane {

namespace {

// Every name an array brings into the output: each must be free, or the macros of one array
// would rewrite the name of another.
constexpr const char* kArraySuffixes[] = {"",    "_width",        "_height",      "_size",
                                          "_fb", "_decoded_size", "_frame_count", "_frame_delays"};
constexpr const char* kTableSuffixes[] = {"", "_entry", "_count"};

// The names taken so far, each with what took it: empty for the names of the arrays and the
// table, else the part of the output that spells it, for the message.
using Taken = std::map<std::string, std::string>;

void add(Taken& taken, std::initializer_list<const char*> names, const std::string& origin) {
    for (const char* name : names)
        taken.emplace(name, origin);
}

// The names the output spells besides those of its arrays. The decoder's own are kept free
// even where it is not written, so any outputs can later share a unit with a compressed one.
Taken names_of_output(const OutputKind& output) {
    Taken taken;
    add(taken,
        {"DOTLANE_RLE_DECODER", "DOTLANE_RLE_BYTE", "dotlane_rle_reader", "dotlane_rle_begin",
         "dotlane_rle_next", "dotlane_rle_decode"},
        "a name of the decoder of --compress rle");
    if (output.compress)
        add(taken,
            {"NULL", "offsetof", "ptrdiff_t", "size_t", "wchar_t", "max_align_t", "nullptr_t",
             "unreachable"},
            "a name of <stddef.h>, which the decoder includes");
    const bool arduino = output.style == Style::arduino, u8g2 = output.style == Style::u8g2;
    // U8g2lib.h includes Arduino.h, which includes <stdint.h> and, on AVR, <avr/pgmspace.h>.
    if (arduino || u8g2) {
        add(taken,
            {"int8_t", "int16_t", "int32_t", "int64_t", "uint8_t", "uint16_t", "uint32_t",
             "uint64_t", "intptr_t", "uintptr_t", "intmax_t", "uintmax_t"},
            "a name of <stdint.h>, which <Arduino.h> includes");
        add(taken, {"PROGMEM", "pgm_read_byte"}, "a name of <Arduino.h>, which the output uses");
    }
    if (u8g2)
        add(taken, {"U8X8_PROGMEM", "u8x8_pgm_read"},
            "a name of <U8g2lib.h>, which the output uses");
    return taken;
}

// The first name made from `name` that is taken, if any.
template <std::size_t N>
std::optional<std::string> taken_of(const Taken& taken, const std::string& name,
                                    const char* const (&suffixes)[N]) {
    for (const char* suffix : suffixes)
        if (taken.count(name + suffix)) return name + suffix;
    return std::nullopt;
}

template <std::size_t N>
void take(Taken& taken, const std::string& name, const char* const (&suffixes)[N]) {
    for (const char* suffix : suffixes)
        taken.emplace(name + suffix, "");
}

std::string clash(const Taken& taken, const std::string& name, const std::string& made) {
    const std::string& origin = taken.at(made);
    if (origin.empty())
        return "the name \"" + name + "\" is given twice, or clashes with " + name +
               "_width and the like of another name";
    return "the name \"" + name + "\" clashes with " + made + ", " + origin;
}

// c_name_problem speaks of --c-array, the option of one picture.
std::string about_option(std::string problem, const std::string& option) {
    if (problem.rfind("--c-array", 0) == 0) problem.replace(0, 9, option);
    return problem;
}

} // namespace

ArrayNames array_names(const std::vector<std::string>& paths, const std::vector<std::string>& given,
                       const std::string& option, const OutputKind& output,
                       const std::optional<std::string>& prefix) {
    // The source includes the header by its last path part, between quotes on one line, where
    // C leaves ' and \ to each compiler.
    if (const auto& h = output.header;
        h && h->find_first_of("\"'\\\n\r", h->rfind('/') + 1) != std::string::npos)
        return {{},
                "--header names the file the source includes, \"" + *h +
                    "\"; its name cannot hold \", ', \\ or a line break"};
    ArrayNames result;
    Taken taken = names_of_output(output);
    if (output.header) {
        const std::string guard = include_guard(*output.header);
        if (taken.count(guard))
            return {{},
                    "--header \"" + *output.header + "\" makes the include guard " + guard + ", " +
                        taken.at(guard)};
        taken.emplace(guard, "the include guard of the header");
    }
    if (const auto& table = output.table) {
        if (const auto problem = c_name_problem(*table))
            return {{}, about_option(*problem, "--table")};
        if (const auto made = taken_of(taken, *table, kTableSuffixes))
            return {{}, clash(taken, *table, *made)};
        take(taken, *table, kTableSuffixes);
    }
    for (const std::string& name : given) {
        if (const auto problem = name_problem(output.style, name))
            return {{}, about_option(*problem, option)};
        if (const auto made = taken_of(taken, name, kArraySuffixes))
            return {{}, clash(taken, name, *made)};
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
        if (const auto problem = name_problem(output.style, base))
            return {{}, about_option(*problem, "--name-prefix")};
        std::string name = base;
        for (int& n = next.try_emplace(base, 2).first->second;
             taken_of(taken, name, kArraySuffixes); ++n)
            name = base + "_" + std::to_string(n);
        take(taken, name, kArraySuffixes);
        result.names.push_back(name);
    }
    return result;
}

} // namespace dotlane
