// Reading the window's entries, the marks and the saved text.
#include "deployment_check/deployment_check_controller.hpp"

#include "deployment_check/deployment_sheet.hpp"
#include "deployment_check/fix_places.hpp"

namespace kelpira::deployment_check {

FormReading read_form(const CheckForm& form) {
    FormReading r;
    CheckInputs in;
    in.platform = form.platform;
    if (!form.days.empty() && !(in.days = positive_number(form.days))) {
        r.error = "The deployment length must be a positive number of days.";
        return r;
    }
    if (!form.start.empty() && !(in.start = parse_start(form.start))) {
        r.error = "The deployment start must be a UTC date and time as YYYY-MM-DDTHH:MM.";
        return r;
    }
    in.start_state = form.start_state;
    const struct {
        const std::string& text;
        std::optional<double>& value;
        const char* error;
    } energy[] = {
        {form.battery_wh, in.battery_wh, "The battery must be a positive number of watt-hours."},
        {form.cycle_wh, in.cycle_wh,
         "The energy of a cycle must be a positive number of watt-hours."},
        {form.sleep_w, in.sleep_w, "The power between cycles must be a positive number of watts."},
    };
    for (const auto& e : energy) {
        if (!e.text.empty() && !(e.value = positive_number(e.text))) {
            r.error = e.error;
            return r;
        }
    }
    if (!form.stroke_ul.empty() && !(in.stroke_ul = parse_stroke(form.stroke_ul))) {
        r.error =
            "The stroke volume must be a positive number of microlitres, or "
            "inject=V,withdraw=V.";
        return r;
    }
    std::size_t at = 0;
    while (at < form.reagents.size()) {
        const std::size_t end = form.reagents.find_first_of(" ,", at);
        const std::string word = form.reagents.substr(at, end - at);
        at = end == std::string::npos ? form.reagents.size() : end + 1;
        if (word.empty()) {
            continue;
        }
        const auto reagent = parse_reagent(word);
        if (!reagent) {
            r.error =
                "Reagents are given as VALVE=ML, a valve from 0 to 15 and a positive "
                "volume in millilitres: \"" +
                word + "\" is not.";
            return r;
        }
        if (gives_valve(in, reagent->valve)) {
            r.error = "Valve " + std::to_string(reagent->valve) +
                      " is given twice in the reagents: give each valve's volume once.";
            return r;
        }
        in.reagents.push_back(*reagent);
    }
    r.inputs = std::move(in);
    return r;
}

MarkColour mark_colour(Verdict v) {
    switch (v) {
        case Verdict::pass:
            return {0, 160, 70};
        case Verdict::warn:
            return {240, 170, 0};
        case Verdict::fail:
            return {220, 0, 0};
        case Verdict::skip:
            break;
    }
    return {150, 150, 150};
}

bool save_sheet(const CheckOutcome& outcome, common::Prompter& prompter) {
    common::FileRequest request;
    request.title = std::string(kCheckTitle);
    request.filters = {{"TXT Files (*.txt)", "*.txt"}, {"All Files (*.*)", "*.*"}};
    request.default_extension = "txt";
    request.initial_name = "deployment_sheet.txt";
    const auto path = prompter.choose_save_file(request);
    if (!path) {
        return false;
    }
    if (!write_sheet(*path, outcome, this_pc())) {
        prompter.message("Save", "Couldn't write to file");
        return false;
    }
    return true;
}

std::string item_line(const CheckItem& item) {
    std::string line = check_text({item});
    line.pop_back();
    if (item.verdict != Verdict::pass) {
        const FixPlace place = fix_place(item.id);
        line += "\n    Fix: " + std::string(place.window);
        if (!place.command.empty()) {
            line += "; " + std::string(place.command);
        }
    }
    return line;
}

}  // namespace kelpira::deployment_check
