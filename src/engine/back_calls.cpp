// render, guess and check for front ends that hold their input: the options of the table,
// the array as an ArrayText.
#include "engine/back.h"

namespace dotlane::engine {

namespace {

Pieces pieces_of(ArrayText& array) {
    return [&array](std::optional<std::string>& error) { return array.read(error); };
}

// The options with the operands a command line would have given: the array's name.
template <class Result>
std::variant<Arguments, Result> arguments(std::span<const OptionSpec> table, const Options& options,
                                          std::vector<std::string> operands) {
    for (const Option& option : options)
        if (option.name == "o" || option.name == "render" || option.name == "diff") {
            Result refused;
            static_cast<Outcome&>(refused) =
                usage_error(dashed(option.name) + " names a file dotlane-cli writes; here the "
                                                  "bits come back to the caller");
            return refused;
        }
    auto made = arguments_of(table, options);
    if (auto* problem = std::get_if<Outcome>(&made)) {
        Result refused;
        static_cast<Outcome&>(refused) = *problem;
        return refused;
    }
    std::get<Arguments>(made).operands = std::move(operands);
    return std::move(std::get<Arguments>(made));
}

} // namespace

Rendered render(const Options& options, ArrayText& array) {
    auto a = arguments<Rendered>(render_options(), options, {array.name()});
    if (auto* refused = std::get_if<Rendered>(&a)) return std::move(*refused);
    return render_array(std::get<Arguments>(a), pieces_of(array), false);
}

Guessed guess(const Options& options, ArrayText& array) {
    auto a = arguments<Guessed>(guess_options(), options, {array.name()});
    if (auto* refused = std::get_if<Guessed>(&a)) return std::move(*refused);
    return guess_array(std::get<Arguments>(a), pieces_of(array));
}

Checked check(const Options& options, const std::string& picture, PictureSource& source,
              ArrayText& array) {
    auto made = arguments<Checked>(check_options(), options, {picture, array.name()});
    if (auto* refused = std::get_if<Checked>(&made)) return std::move(*refused);
    const Arguments& a = std::get<Arguments>(made);
    Checked checked;
    if (!a.value("--layout") && !a.value("--target")) {
        static_cast<Outcome&>(checked) =
            usage_error("check needs --layout or --target: the layout of the array");
        return checked;
    }
    ArraySource array_at;
    if (const auto problem = array_source(a, array.name(), array_at)) {
        static_cast<Outcome&>(checked) = usage_error(*problem);
        return checked;
    }
    array_at.command = "check";
    return check_array(a, array_at, source, pieces_of(array));
}

} // namespace dotlane::engine
