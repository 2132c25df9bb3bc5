// State-machine program files in the three layouts.
#include <sstream>
#include <string>

#include "fuzz_inputs.hpp"
#include "statemachine/state_files.hpp"
#include "statemachine/state_summary.hpp"

namespace kelpira::fuzz {

int state_program_input(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    using statemachine::FileLayout;
    const FileLayout layout = data[0] % 3 == 0   ? FileLayout::current
                              : data[0] % 3 == 1 ? FileLayout::legacy
                                                 : FileLayout::json;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    statemachine::StateMachineImage image;
    std::string why;
    if (!statemachine::read_program(in, layout, image, why)) {
        return 0;
    }
    // What the definition view shows of a loaded program: every state, and a walk through it.
    statemachine::SummaryRequest request;
    (void)statemachine::summary_text(statemachine::build_summary(image, request));
    request.mode = statemachine::SummaryMode::dry_run;
    request.start_state = (data[0] / 3u) % (image.last_index + 1u);
    (void)statemachine::summary_text(statemachine::build_summary(image, request));

    std::ostringstream out;
    statemachine::write_program(out, layout, image);
    std::istringstream again(out.str());
    statemachine::StateMachineImage reread;
    statemachine::read_program(again, layout, reread, why);
    return 0;
}

}  // namespace kelpira::fuzz
