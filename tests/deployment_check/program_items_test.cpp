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
         // Cycles at 1 min, 11 min and 21 min; idle at 25 min.
         "The Deploy dry run from state 0 ends at IDLE (state 3) after 3 measurement cycles, "
         "25 min after it starts, before the 1-day deployment ends.",
         V::pass},
        {"ends without a deployment length",
         {waiting(1), state(2, 60), counted, idle},
         0,
         records::kStateDisabled,
         {},
         V::warn,
         "The Deploy dry run from state 0 ends at IDLE (state 3) after 3 measurement cycles, "
         "25 min after it starts, and then measures no more.",
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
        {"a diving trigger to a state that does not exist", with_fault([](StateRecord& s) {
             s.pump_stop_mode = statemachine::kStopOnTime;
             s.dive_trigger = {0, 2, 41, 0};
         }),
         V::fail,
         "State 1's diving trigger next state is 41, which the 4-state program does not have; "
         "state 3 can be reached from no start state.",
         V::fail,
         "After the diving trigger in state 1 the program goes to state 41, which does not exist "
         "(of 0 pump time-outs and 1 depth trigger)."},
        {"a climbing trigger into a loop that never measures", with_fault([](StateRecord& s) {
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
         V::fail, "State 1's counter 5 next state is 77, which the 4-state program does not have.",
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
    // The sensor waits for the next measurement time after an overrun: every 20 minutes.
    EXPECT_EQ(item("cycle").text,
              "A cycle takes 10 min 1 s, so the sensor measures every 20 min, not every 10 min.");
    inputs.days = 1;
    // Measuring at 541 s and every 1200 s after: 72 cycles before 86 400 s, the last at
    // 541 + 71 x 1200 = 85 741 s, 23 h 49 min 1 s after 10:00:00.
    const auto timeline = item("timeline");
    EXPECT_EQ(timeline.verdict, V::warn);
    EXPECT_EQ(timeline.text,
              "From 08/12/2026 10:00:00, Deploy state 0: one measurement every 20 min (a cycle "
              "takes 10 min 1 s, so the sensor measures every 20 min, not every 10 min); 72 "
              "measurement cycles over the 1-day deployment, the last at 09/12/2026 09:49:01: "
              "measuring lasts to the end of the deployment.");
}

// A loop that never measures again ends measuring in the timeline too: one cycle at 10:01:00,
// after the intake minute, then state 4 for ever.
TEST_F(ProgramItems, TimelineOfALoopThatNeverMeasuresAgain) {
    put_program({waiting(1), pumping(1u << 1, 2, 60), state(3, 60), state(4, 10), state(4, 10)});
    put_schedule(10);
    inputs.days = 90;
    const auto timeline = item("timeline");
    EXPECT_EQ(timeline.verdict, V::fail);
    EXPECT_EQ(timeline.text,
              "From 08/12/2026 10:00:00, Deploy state 0: no timed measurement cycle; 1 "
              "measurement cycle over the 90-day deployment, the last at 08/12/2026 10:01:00: "
              "the program loops without measuring after 1 cycle, before the deployment ends.");
}

TEST_F(ProgramItems, ScheduleThatTheProgramWaitsFor) {
    put_program(generic_loop(60, 60));
    put_schedule(60, 3600);
    EXPECT_EQ(item("schedule").text,
              "The schedule stops measuring at 08/12/2026 11:00:00; give the deployment's "
              "length (--days) to judge it.");
    EXPECT_EQ(item("schedule").verdict, V::warn);
    // A stop on day 30 of 90: the schedule and the timeline fail.
    inputs.days = 90;
    put_schedule(60, 29 * 86400 + 3600);
    EXPECT_EQ(item("schedule").text,
              "The schedule stops measuring at 06/01/2027 11:00:00, on day 30 of the 90-day "
              "deployment.");
    EXPECT_EQ(item("schedule").verdict, V::fail);
    const auto timeline = item("timeline");
    EXPECT_EQ(timeline.verdict, V::fail);
    // Hourly from 10:01:00 (after the intake minute) to the stop: 29 x 24 + 1 cycles.
    EXPECT_EQ(timeline.text,
              "From 08/12/2026 10:00:00, Deploy state 0: one measurement every 1 h; 697 "
              "measurement cycles over the 90-day deployment, the last at 06/01/2027 10:01:00: "
              "the schedule's stop time 06/01/2027 11:00:00 ends measuring, before the deployment "
              "ends.");
    put_schedule(60, 91 * 86400);
    EXPECT_EQ(item("schedule").verdict, V::pass);
    inputs.days.reset();
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
    inputs.stroke_ul = StrokeVolume{125, 125};  // 3 mL a day, 30 mL over the deployment
    const std::pair<double, V> cases[] = {
        {29.999, V::fail}, {30, V::warn}, {32.999, V::warn}, {33, V::pass}};
    for (const auto& [ml, verdict] : cases) {
        inputs.reagents = {{1, ml}};
        EXPECT_EQ(item("endurance").verdict, verdict) << ml;
    }
    inputs.reagents = {{1, 20}, {4, 5}};
    EXPECT_EQ(item("endurance").text,
              "Valve 1 runs out after 6.7 days (3.00 mL a day from 20 mL), before the 10-day "
              "deployment ends; valve 4 has 5 mL given but the program never draws from it.");
}

// A TA-like cycle: one stroke through valve 1, then the measurement state entered three times
// with a stroke through valve 15 after each, every 30 minutes.
TEST_F(ProgramItems, ConsumablesPerScheduledCycle) {
    StateRecord again = pumping(1u << 15, 2, 10);
    again.counter[0] = {1, 2, 0, statemachine::kCounterIncAndTest};  // back to 0 the third time
    put_program({waiting(1), pumping(1u << 1, 2, 60), state(3, 60), again});
    put_schedule(30);
    inputs.days = 90;
    inputs.stroke_ul = StrokeVolume{50, 50};
    // 48 cycles a day: valve 1 gives 48 x 50 uL = 2.4 mL a day, 100 mL last 41.67 days; valve
    // 15 gives 3 x 48 x 50 uL = 7.2 mL a day, 900 mL last 125 days.
    inputs.reagents = {{1, 100}, {15, 900}};
    auto endurance = item("endurance");
    EXPECT_EQ(endurance.verdict, V::fail);
    EXPECT_EQ(endurance.text,
              "Valve 1 runs out after 41.7 days (2.40 mL a day from 100 mL), before the 90-day "
              "deployment ends; valve 15 lasts 125.0 days (7.20 mL a day from 900 mL), more than "
              "the 90-day deployment.");
    // Valve 1 is spent 3 600 000 s (41 d 16 h) after 10:00:00; the cycles at 10:01:00 and
    // every 30 min after are 2000 before then, the last 1999 x 1800 s after the first.
    EXPECT_EQ(item("timeline").text,
              "From 08/12/2026 10:00:00, Deploy state 0: one measurement every 30 min; 2000 "
              "measurement cycles over the 90-day deployment, the last at 19/01/2027 01:31:00: a "
              "reagent runs out on 19/01/2027 02:00:00, before the deployment ends.");
    inputs.reagents = {{1, 250}};
    endurance = item("endurance");
    EXPECT_EQ(endurance.verdict, V::warn);
    EXPECT_EQ(endurance.text,
              "Valve 1 lasts 104.2 days (2.40 mL a day from 250 mL), more than the 90-day "
              "deployment; valve 15 is drawn from 3 times a cycle; give its volume with "
              "--reagent 15=ML.");
    inputs.stroke_ul = StrokeVolume{60, 50};  // injecting moves 60 uL: 2.88 mL a day
    inputs.reagents = {{1, 250}, {15, 900}};
    EXPECT_EQ(item("endurance").text.substr(0, 59),
              "Valve 1 runs out after 86.8 days (2.88 mL a day from 250 mL");

    // 0.01 W asleep all day and 0.05 Wh a cycle: 0.24 + 48 x 0.05 = 2.64 Wh a day, so a
    // 100 Wh pack lasts 37.88 days.
    EXPECT_EQ(item("battery").text, "The battery needs --battery-wh, --cycle-wh and --sleep-w.");
    inputs.battery_wh = 100;
    inputs.cycle_wh = 0.05;
    inputs.sleep_w = 0.01;
    const std::pair<double, V> cases[] = {{30, V::pass}, {35, V::warn}, {40, V::fail}};
    for (const auto& [days, verdict] : cases) {
        inputs.days = days;
        EXPECT_EQ(item("battery").verdict, verdict) << days;
    }
    inputs.days = 30;
    EXPECT_EQ(item("battery").text,
              "The 100 Wh pack lasts 37.9 days (2.64 Wh a day), more than the 30-day deployment.");
}

}  // namespace
}  // namespace kelpira::deployment_check::testing
