// The items judged on the program's dry runs: program, states, schedule, cycle, endurance.
#include "deployment_check/check_fixture.hpp"
#include "records/chemistry_transfer.hpp"

namespace kelpira::deployment_check::testing {
namespace {

using V = Verdict;

class ProgramItems : public CheckFixture {
  protected:
    void SetUp() override { start_generic(); }

    void set_start_states(std::uint8_t deploy, std::uint8_t prime = records::kStateDisabled) {
        records::ChemistryConfig c;
        ASSERT_EQ(records::get_chemistry_config(link, c), link::kResultSuccess);
        c.start_manual_deployment = deploy;
        c.start_manual_priming = prime;
        ASSERT_EQ(records::set_chemistry_config(link, c), link::kResultSuccess);
    }
};

struct ProgramCase {
    const char* what;
    std::vector<StateRecord> program;
    std::uint8_t deploy;
    std::uint8_t prime;
    std::optional<double> days;
    V program_verdict;
    const char* program_text;
    V states_verdict;
};

TEST_F(ProgramItems, EachRuleOfTheProgram) {
    StateRecord counted = state(0, 240);  // leaves for state 3 (idle) on the third entry
    counted.counter[0] = {1, 2, 3, statemachine::kCounterIncAndTest};
    const StateRecord idle = state(3, 0, statemachine::kPowerIdle);
    const StateRecord hibernating = state(3, 0, statemachine::kPowerHibernating);
    const ProgramCase cases[] = {
        {"loop", generic_loop(60, 60), 0, records::kStateDisabled, 30, V::pass,
         "The Deploy dry run from state 0 loops, so it measures until stopped.", V::pass},
        {"dangling reference",
         {waiting(1), state(2, 1), state(9, 1)},
         0,
         records::kStateDisabled,
         {},
         V::fail,
         "The Deploy dry run from state 0 meets a reference in state 2 to state 9, which does "
         "not exist.",
         V::pass},
        {"processing state missing",
         {waiting(1), state(0, 1)},
         0,
         records::kStateDisabled,
         {},
         V::pass,
         "The Deploy dry run from state 0 loops, so it measures until stopped.",
         V::fail},
        {"not visited",
         {waiting(1), state(0, 1), state(2, 1)},
         0,
         records::kStateDisabled,
         {},
         V::pass,
         "The Deploy dry run from state 0 loops, so it measures until stopped.",
         V::warn},
        {"hibernating end of another start state",
         {waiting(1), state(2, 1), state(0, 1), hibernating},
         0,
         3,
         {},
         V::warn,
         "The Deploy dry run from state 0 loops, so it measures until stopped; the Prime dry run "
         "from state 3 ends at HIBERNATING (state 3) without a pump time-out.",
         V::pass},
        {"ends before the deployment",
         {waiting(1), state(2, 60), counted, idle},
         0,
         records::kStateDisabled,
         1,
         V::fail,
         "The Deploy dry run from state 0 ends at IDLE (state 3) after 3 measurement cycles, "
         "30 min at the schedule's interval, before the 1-day deployment ends.",
         V::pass},
        {"ends without a deployment length",
         {waiting(1), state(2, 60), counted, idle},
         0,
         records::kStateDisabled,
         {},
         V::warn,
         "The Deploy dry run from state 0 ends at IDLE (state 3) after 3 measurement cycles, "
         "30 min at the schedule's interval, and then measures no more.",
         V::pass},
        {"Deploy start state not set",
         generic_loop(1, 1),
         records::kStateDisabled,
         records::kStateDisabled,
         {},
         V::fail,
         "The Deploy start state is not set.",
         V::pass},
        {"Deploy start state outside",
         generic_loop(1, 1),
         5,
         records::kStateDisabled,
         {},
         V::fail,
         "The Deploy start state 5 lies outside the 3-state program.",
         V::pass},
    };
    put_schedule(10);
    for (const auto& c : cases) {
        put_program(c.program);
        set_start_states(c.deploy, c.prime);
        inputs.days = c.days;
        const auto items = check();
        EXPECT_EQ(items[5].verdict, c.program_verdict) << c.what;
        EXPECT_EQ(items[5].text, c.program_text) << c.what;
        EXPECT_EQ(items[6].verdict, c.states_verdict) << c.what << ": " << items[6].text;
    }
}

TEST_F(ProgramItems, CycleAgainstEightyPercentOfTheInterval) {
    put_schedule(10);
    const std::pair<std::uint32_t, V> cases[] = {
        {480, V::pass}, {481, V::warn}, {600, V::warn}, {601, V::fail}};
    for (const auto& [seconds, verdict] : cases) {
        put_program(generic_loop(seconds - 60, 60));
        EXPECT_EQ(item("cycle").verdict, verdict) << seconds;
    }
    EXPECT_EQ(item("cycle").text,
              "One measurement cycle (from state 2 to its next entry) takes 10 min 1 s, longer "
              "than the 10 min interval: measurements would overrun.");
}

TEST_F(ProgramItems, ScheduleThatTheProgramWaitsFor) {
    put_program(generic_loop(60, 60));
    put_schedule(60, 3600);
    EXPECT_EQ(item("schedule").verdict, V::pass);
    put_schedule(60, -1, -7200);
    const auto stopped = item("schedule");
    EXPECT_EQ(stopped.verdict, V::fail);
    EXPECT_EQ(stopped.text,
              "The schedule's stop time 08/12/2026 09:59:59 has passed: the sensor answers that "
              "no further measurement follows.");
    put_schedule(60, std::nullopt, 2 * 3600);  // the next measurement two hours away
    EXPECT_EQ(item("schedule").verdict, V::warn);
    put_schedule(24 * 60 * 3, std::nullopt, 86401);  // every three days, starting in a day
    EXPECT_EQ(item("schedule").verdict, V::warn);
    put_program({state(1, 1), state(0, 1)});
    EXPECT_EQ(item("schedule").verdict, V::skip);
}

TEST_F(ProgramItems, EnduranceAgainstTenPercentOfTheDeployment) {
    put_program(generic_loop(60, 60));  // one stroke through valve 1 per cycle
    put_schedule(60);                   // 24 cycles a day
    EXPECT_EQ(item("endurance").text,
              "Endurance needs a deployment length, a stroke volume and a reagent volume.");
    inputs.days = 10;
    inputs.stroke_ul = 125;  // 3 mL a day, 30 mL over the deployment
    const std::pair<double, V> cases[] = {
        {29.999, V::fail}, {30, V::warn}, {32.999, V::warn}, {33, V::pass}};
    for (const auto& [ml, verdict] : cases) {
        inputs.reagents = {{1, ml}};
        EXPECT_EQ(item("endurance").verdict, verdict) << ml;
    }
    inputs.reagents = {{1, 20}, {4, 5}};
    EXPECT_EQ(item("endurance").text,
              "Valve 1 runs out after 6.7 days (3.00 mL a day from 20 mL), before the 10-day "
              "deployment ends; valve 4 is not drawn from by the Deploy run.");
}

}  // namespace
}  // namespace kelpira::deployment_check::testing
