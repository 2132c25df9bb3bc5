// Texts of the pH, TA and DIC result tables.
#include "processing/result_csv.hpp"

#include <gtest/gtest.h>

#include <span>

namespace {

using namespace kelpira::processing;

template <std::size_t N>
std::string line(const std::array<std::string, N>& cells) {
    return csv_line(std::span<const std::string>(cells));
}

TEST(ResultCsv, TitleLines) {
    EXPECT_EQ(csv_line(std::span<const std::string_view>(kPhResultColumns)),
              "Time (platform),pH,r,r (adjusted),T (thermistor),S (PSU),T (degC),DO (ml/l)\n");
    EXPECT_EQ(csv_line(std::span<const std::string_view>(kTaResultColumns)),
              "Time (platform),TA (uM),Absorbance LED1,Absorbance LED2,Temperature (C)\n");
    EXPECT_EQ(csv_line(std::span<const std::string_view>(kDicResultColumns)),
              "Time (platform),Meas State,DIC (umol/kg),Sample Step (V),CRM Step (V),"
              "Temperature (C),Validity\n");
}

TEST(ResultCsv, PhCells) {
    PhResult r;
    r.time = 1700000000;
    r.ph = 8.01249;
    r.r = 1.79996;
    r.r_adjusted = 1.80006;
    r.thermistor_temperature = 19.98951;
    r.salinity = 35.1234f;
    r.temperature = 12.3456f;
    r.oxygen = 6.789f;
    EXPECT_EQ(line(ph_result_cells(r)),
              "14/11/2023 22:13:20,8.012,1.8000,1.8001,19.990,35.123,12.346,6.789\n");
}

TEST(ResultCsv, TaAndDicCells) {
    TaResult ta;
    ta.time = 2147483648u;  // beyond a date: the plain number
    ta.ta = 2263.4567;
    ta.absorbance1 = 0.5f;
    ta.absorbance2 = -0.25f;
    ta.temperature = 21.5f;
    EXPECT_EQ(line(ta_result_cells(ta)), "2147483648,2263.457,0.500000,-0.250000,21.500000\n");

    DicResult dic;
    dic.time = 0;
    dic.state = 5;
    dic.dic = 1600;
    dic.validity = 2;
    dic.sample_step = 0.4f;
    dic.crm_step = 0.5f;
    dic.temperature = 18.25f;
    EXPECT_EQ(line(dic_result_cells(dic)),
              "01/01/1970 00:00:00,5,1600.000,0.400,0.500,18.250,bad\n");
}

}  // namespace
