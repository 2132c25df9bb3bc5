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
         V::fail,
         "The program never measures (state 2): it repeats states 0 → 1 → 0.",
         V::fail},
        {"not visited, so never measured",
         {waiting(1), state(0, 1), state(2, 1)},
         0,
         records::kStateDisabled,
         {},
         V::fail,
         "The program never measures (state 2): it repeats states 0 → 1 → 0.",
         V::warn},
        {"measures once, then rinses for ever",
         {waiting(1), pumping(1u << 1, 2, 60), state(3, 60), state(4, 10), state(4, 10)},
         0,
         records::kStateDisabled,
         90,
         V::fail,
         "From cycle 1 on, the program repeats states 4 → 4 and never measures again.",
         V::pass},
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
        EXPECT_EQ(items[8].id, "states");
        EXPECT_EQ(items[8].verdict, c.states_verdict) << c.what << ": " << items[8].text;
    }
}

// Every reference of every state, and the runs after each fault, not only the dry run's path.
TEST_F(ProgramItems, EveryPathOfTheProgram) {
    StateRecord stalls = pumping(1u << 1, 2, 60);  // state 1: its pump may time out
    const auto with_fault = [&](auto change) {
        StateRecord s = stalls;
        change(s);
        return std::vector<StateRecord>{waiting(1), s, state(0, 60), state(3, 10)};
    };
    struct Case {
        const char* what;
        std::vector<StateRecord> program;
        V references;
        const char* references_text;
        V faults;
        const char* faults_text;
    };
    const Case cases[] = {
        {"a pump time-out to a state that does not exist",
         with_fault([](StateRecord& s) { s.pump_timeout_next = 40; }), V::fail,
         "State 1's pump time-out next state is 40, which the 4-state program does not have; "
         "state 3 can be reached from no start state.",
         V::fail,
         "After a pump time-out in state 1 the program goes to state 40, which does not exist "
         "(of 1 pump time-out and 0 depth triggers)."},
        {"a diving trigger to a state that does not exist",
         with_fault([](StateRecord& s) {
             s.pump_stop_mode = statemachine::kStopOnTime;
             s.dive_trigger = {0, 2, 41, 0};
         }),
         V::fail,
         "State 1's diving trigger next state is 41, which the 4-state program does not have; "
         "state 3 can be reached from no start state.",
         V::fail,
         "After the diving trigger in state 1 the program goes to state 41, which does not exist "
         "(of 0 pump time-outs and 1 depth trigger)."},
        {"a climbing trigger into a loop that never measures",
         with_fault([](StateRecord& s) {
             s.pump_stop_mode = statemachine::kStopOnTime;
             s.climb_trigger = {0, 1, 3, 0};
         }),
         V::pass,
         "Every reference of the 4-state program names a state it has, and a start state reaches "
         "every state.",
         V::fail,
         "After the climbing trigger in state 1 the program repeats states 3 → 3 and never "
         "measures again (of 0 pump time-outs and 1 depth trigger)."},
        {"a pump time-out that goes back to measuring",
         with_fault([](StateRecord& s) { s.pump_timeout_next = 0; }), V::warn,
         "State 3 can be reached from no start state.", V::pass,
         "After each fault the Deploy dry run can meet (1 pump time-out and 0 depth triggers) "
         "the program comes back to measuring."},
        {"a counter whose next state does not exist, though it never fires on the dry run",
         with_fault([](StateRecord& s) {
             s.pump_stop_mode = statemachine::kStopOnTime;
             s.counter[4] = {0, 5, 77, statemachine::kCounterIncAndTest};
             s.default_next = 3;
             s.counter[0] = {1, 0, 2, statemachine::kCounterIncAndTest};
         }),
         V::fail,
         "State 1's counter 5 next state is 77, which the 4-state program does not have.",
         V::pass, "No state the Deploy dry run leaves has a pump time-out or a depth trigger."},
    };
    put_schedule(10);
    for (const auto& c : cases) {
        put_program(c.program);
        const auto items = check();
        EXPECT_EQ(items[6].id, "references");
        EXPECT_EQ(items[6].verdict, c.references) << c.what;
        EXPECT_EQ(items[6].text, c.references_text) << c.what;
        EXPECT_EQ(items[7].verdict, c.faults) << c.what;
        EXPECT_EQ(items[7].text, c.faults_text) << c.what;
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
