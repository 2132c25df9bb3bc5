// One item of the deployment check: what was judged, the verdict, and the sentence naming the
// values judged; with the words and order of the verdicts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace kelpira::deployment_check {

// In rising severity; `skip` says the item could not be judged or did not apply.
enum class Verdict { skip, pass, warn, fail };

struct CheckItem {
    std::string id;  // "link", "firmware", ...
    Verdict verdict = Verdict::skip;
    std::string text;  // one sentence

    bool operator==(const CheckItem&) const = default;
};

// "pass", "warn", "fail", "skip": the JSON form.
std::string_view verdict_name(Verdict v);
// "PASS", "WARN", "FAIL", "SKIP": the text form.
std::string_view verdict_word(Verdict v);

// The more severe of two verdicts.
Verdict worse(Verdict a, Verdict b);

// True when an item fails: the command then exits 1.
bool any_failed(const std::vector<CheckItem>& items);

// One line per item, "PASS link        Sensor ...", each ending in a line feed.
std::string check_text(const std::vector<CheckItem>& items);
// A JSON list of {"id", "verdict", "text"} objects.
nlohmann::ordered_json items_json(const std::vector<CheckItem>& items);

}  // namespace kelpira::deployment_check
