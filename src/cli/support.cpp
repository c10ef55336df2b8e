#include "cli/support.h"

#include <cerrno>
#include <cstring>
#include <ostream>

#include "shared/text.h"
#include "write/output_file.h"

namespace dotlane::cli {

Arguments parse(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                const std::vector<std::string>& valued) {
    Arguments parsed;
    auto known = [](const std::vector<std::string>& list, const std::string& name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // As for every Unix tool, "--" lets a file name begin with "-".
        if (arg == "--" && !options_ended) {
            options_ended = true;
        } else if (!options_ended && arg.size() > 1 && arg[0] == '-' && arg != "-") {
            const auto equals = arg.find('=');
            if (arg.rfind("--", 0) == 0 && equals != std::string::npos &&
                known(valued, arg.substr(0, equals))) {
                parsed.values[arg.substr(0, equals)] = arg.substr(equals + 1);
                parsed.given.emplace_back(arg.substr(0, equals), arg.substr(equals + 1));
            } else if (known(flags, arg)) {
                parsed.flags.push_back(arg);
            } else if (known(valued, arg) && i + 1 < args.size()) {
                parsed.values[arg] = args[++i];
                parsed.given.emplace_back(arg, args[i]);
            } else {
                parsed.error = known(valued, arg) ? "option " + arg + " needs a value"
                                                  : "unknown option " + arg;
                return parsed;
            }
        } else {
            parsed.operands.push_back(arg);
        }
    }
    return parsed;
}

int usage(std::ostream& err, const std::string& problem) {
    err << "dotlane-cli: " << problem << "\n";
    return kUsage;
}

int fault(const engine::Outcome& problem, std::ostream& err) {
    if (problem.fault == engine::Fault::usage) return usage(err, *problem.error);
    err << *problem.error << "\n";
    return kBadInput;
}

std::optional<LoadedFile> load(const std::string& path, std::ostream& err) {
    LoadedFile file = load_bmp_file(path);
    if (!file.accepted()) {
        err << file.message() << "\n";
        return std::nullopt;
    }
    return file;
}

int emit(std::string_view data, const Arguments& args, std::ostream& out, std::ostream& err) {
    const auto path = args.value("-o");
    if (!path || *path == "-") {
        out.write(data.data(), std::streamsize(data.size()));
        return check_output(out, err);
    }
    const auto bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    if (const auto error = write_file_whole(*path, {bytes, data.size()})) {
        err << *error << "\n";
        return kBadInput;
    }
    return kOk;
}

int check_output(std::ostream& out, std::ostream& err) {
    if (out.flush()) return kOk;
    const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
    err << "dotlane-cli: cannot write standard output: "
        << (descriptor && descriptor->error() ? std::strerror(descriptor->error()) : "write error")
        << "\n";
    return kBadInput;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
    if (!drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

bool DescriptorOutput::drain() {
    const auto start = reinterpret_cast<const std::uint8_t*>(pbase());
    if (error_ == 0) error_ = write_all(fd_, {start, std::size_t(pptr() - pbase())});
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

namespace {

constexpr std::string_view kPrefix = "dotlane-cli: ";

} // namespace

PrefixedLines::int_type PrefixedLines::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    line_ += traits_type::to_char_type(c);
    if (line_.back() == '\n') finish();
    return c;
}

void PrefixedLines::finish() {
    if (line_.empty()) return;
    if (line_.rfind(kPrefix, 0) != 0) to_->sputn(kPrefix.data(), std::streamsize(kPrefix.size()));
    to_->sputn(line_.data(), std::streamsize(line_.size()));
    line_.clear();
}

int PrefixedLines::sync() {
    return to_->pubsync();
}

} // namespace dotlane::cli
