# Headers parsed once per test program rather than once per file: Google Test, and for the
# Qt test program the Qt headers its files use. They are what most of a test file's compile
# time went to. The libraries have none: there a precompiled header saved about as much as it
# cost to build, and with the standard headers precompiled GCC 12 reports their -Warray-bounds
# false alarms, which it otherwise keeps quiet as coming from system headers.
# -Winvalid-pch turns a header the compiler cannot use (other flags than it was built with)
# into a warning, and so into an error under KELPIRA_WERROR, instead of a silent slow build.

set(kelpira_qt_headers
    <QAction> <QApplication> <QCheckBox> <QColor> <QComboBox> <QDialog> <QFont>
    <QFontMetrics> <QFormLayout> <QGridLayout> <QGroupBox> <QHBoxLayout> <QHeaderView>
    <QImage> <QLabel> <QLineEdit> <QListWidget> <QPainter> <QPalette> <QPointer>
    <QProgressBar> <QPushButton> <QRadioButton> <QRegularExpressionValidator>
    <QSignalBlocker> <QTest> <QTimer> <QTreeWidget> <QVBoxLayout> <QWidget>)

# The test programs without Qt share one, built by a target of their own with their flags
# (kelpira_test_options), so that none of them waits for another to build.
function(kelpira_precompile_gtest target)
  if(NOT TARGET kelpira_gtest_pch)
    file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/gtest_pch.cpp CONTENT "")
    add_library(kelpira_gtest_pch OBJECT ${CMAKE_CURRENT_BINARY_DIR}/gtest_pch.cpp)
    kelpira_test_options(kelpira_gtest_pch)
    target_precompile_headers(kelpira_gtest_pch PRIVATE <gtest/gtest.h>)
  endif()
  target_precompile_headers(${target} REUSE_FROM kelpira_gtest_pch)
  target_compile_options(${target} PRIVATE -Winvalid-pch)
endfunction()

# The Qt test program: Google Test and the Qt headers, QTest among them.
function(kelpira_precompile_qt_tests target)
  target_precompile_headers(${target} PRIVATE <gtest/gtest.h> ${kelpira_qt_headers})
  target_compile_options(${target} PRIVATE -Winvalid-pch)
endfunction()
