#include "declare/bundle.h"

#include "declare/rle.h"

namespace dotlane {

namespace {

std::string last_part(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The bytes an array holds, compressed or not, and what its comment and macros say of them.
struct Prepared {
    const BundleEntry* entry;
    std::vector<std::uint8_t> compressed; // empty when not compressing
    std::span<const std::uint8_t> stored;
};

Prepared prepare(const BundleEntry& e, bool compress) {
    Prepared p{&e, compress ? rle_compress(e.array.bytes) : std::vector<std::uint8_t>{}, {}};
    p.stored = compress ? std::span<const std::uint8_t>(p.compressed) : e.array.bytes;
    return p;
}

std::string number(std::size_t n) {
    return std::to_string(n);
}

// The comment and the macros, which both the one file and the header hold.
std::string declarations(const Prepared& p, bool compress) {
    const CArray& a = p.entry->array;
    const std::size_t frames = p.entry->delays.size();
    std::vector<std::string> more;
    if (frames)
        more.push_back(number(frames) + " frames of " + std::to_string(a.rows) +
                       " rows one after another, each shown for its " + a.name +
                       "_frame_delays ms");
    if (compress)
        more.push_back(p.compressed.front() == 0
                           ? "stored as it is after a flag byte: compressing would not make it "
                             "smaller"
                           : "compressed: " + number(p.stored.size()) + " bytes for " +
                                 number(a.bytes.size()) + "; dotlane_rle_decode restores them");
    std::string text = c_comment(a, more);
    text += "#define " + a.name + "_width " + std::to_string(a.width) + "\n";
    text += "#define " + a.name + "_height " + std::to_string(a.rows) + "\n";
    if (frames) text += "#define " + a.name + "_frame_count " + number(frames) + "\n";
    if (compress) text += "#define " + a.name + "_decoded_size " + number(a.bytes.size()) + "\n";
    return text;
}

std::string delays_head(const Prepared& p) {
    return "const unsigned short " + p.entry->array.name + "_frame_delays[" +
           number(p.entry->delays.size()) + "]";
}

std::string data_head(const Prepared& p, const CFlavour& flavour) {
    return std::string(flavour.type) + " " + p.entry->array.name + "[" + number(p.stored.size()) +
           "]" + std::string(flavour.attribute);
}

void append_data(std::string& text, const Prepared& p, const CFlavour& flavour,
                 const Flush& flush) {
    if (!p.entry->delays.empty()) {
        text += delays_head(p) + " = {";
        for (std::size_t i = 0; i < p.entry->delays.size(); ++i)
            text += (i ? ", " : "") + std::to_string(p.entry->delays[i]);
        text += "};\n";
    }
    // No size between the brackets: the one picture of --c-array keeps its declaration.
    text += std::string(flavour.type) + " " + p.entry->array.name + "[]" +
            std::string(flavour.attribute) + " = {";
    append_byte_lines(text, p.stored, flush);
    text += "};\n";
}

// The table itself stays in RAM, a few bytes an entry, its pointers pointing where the
// arrays are (with PROGMEM, into flash).
std::string table_type(const std::string& table, std::size_t count, const CFlavour& flavour) {
    return "struct " + table + "_entry {\n    " + std::string(flavour.type) +
           " *data;\n"
           "    unsigned short width, height; /* height: the rows the bytes cover */\n"
           "    unsigned long size;           /* bytes of data */\n};\n#define " +
           table + "_count " + number(count) + "\n";
}

std::string table_head(const std::string& table) {
    return "const struct " + table + "_entry " + table + "[" + table + "_count]";
}

std::string table_data(const std::string& table, const std::vector<std::string>& names) {
    std::string text = table_head(table) + " = {\n";
    for (const std::string& n : names) {
        text += "    {" + n + ", " + n + "_width, " + n + "_height, sizeof " + n + "},\n";
    }
    return text + "};\n";
}

} // namespace

std::string include_guard(const std::string& header_path) {
    std::string guard = "DOTLANE_";
    for (char c : last_part(header_path)) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        const bool word = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (word || guard.back() != '_') guard += word ? c : '_';
    }
    return guard;
}

BundleWriter::BundleWriter(const BundleOptions& options, Sink text)
    : options_(options), text_(std::move(text)) {
    text_(options_.flavour.include);
    if (options_.compress) text_(std::string(rle_decoder_text(options_.flavour.flash_read)) + "\n");
}

BundleWriter::BundleWriter(const BundleOptions& options, Sink source, Sink header,
                           const std::string& header_path)
    : options_(options), text_(std::move(source)), header_(std::move(header)),
      guard_(include_guard(header_path)) {
    header_("#ifndef " + guard_ + "\n#define " + guard_ + "\n" +
            std::string(options_.flavour.include));
    if (options_.compress)
        header_("\n" + std::string(rle_decoder_text(options_.flavour.flash_read)));
    text_("#include \"" + last_part(header_path) + "\"\n");
}

void BundleWriter::add(const BundleEntry& entry) {
    const Prepared p = prepare(entry, options_.compress);
    const CFlavour& flavour = options_.flavour;
    std::string text;
    if (header_) {
        std::string header = "\n" + declarations(p, options_.compress);
        if (!p.entry->delays.empty()) header += "extern " + delays_head(p) + ";\n";
        header_(header + "extern " + data_head(p, flavour) + ";\n");
        text = "\n";
    } else {
        text = (names_.empty() ? "" : "\n") + declarations(p, options_.compress);
    }
    append_data(text, p, flavour, [this](std::string& piece) {
        text_(piece);
        piece.clear();
    });
    text_(text);
    names_.push_back(entry.array.name);
}

void BundleWriter::finish() {
    const CFlavour& flavour = options_.flavour;
    if (options_.table) {
        const std::string type = "\n" + table_type(*options_.table, names_.size(), flavour);
        if (header_) header_(type + "extern " + table_head(*options_.table) + ";\n");
        text_((header_ ? "\n" : type) + table_data(*options_.table, names_));
    }
    if (header_) header_("\n#endif\n");
}

} // namespace dotlane
