// Where each item of the deployment check is put right: the window's menu path and the
// kelpira-ctl command, for the window, the printed sheet and the JSON object.
#pragma once

#include <string_view>

namespace kelpira::deployment_check {

struct FixPlace {
    std::string_view window;   // "Configure > Measurement Schedule..."
    std::string_view command;  // "kelpira-ctl clock --sync-pc --utc"; empty when there is none
};

// The place for an item id; an empty place for an id the check does not have.
FixPlace fix_place(std::string_view item_id);

}  // namespace kelpira::deployment_check
