// The three text views: raw output, processed output and diagnostics, each a frame around a
// list its worker fills.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "ui/views/view_frame.hpp"
#include "ui/views/view_list.hpp"
#include "views/live_quality.hpp"

class QPushButton;

namespace kelpira::ui {

// "RAW OUTPUT": the live samples of the history, newest at the bottom.
class RawTextView : public QWidget {
    Q_OBJECT

  public:
    RawTextView(const ViewHost& host, views::LinkFlags flags, QWidget* parent = nullptr);
    ViewFrame* frame() const { return frame_; }
    ViewList& list() { return *list_; }

  private:
    ViewFrame* frame_;
    std::unique_ptr<ViewList> list_;
};

// "PROCESSED OUTPUT": the results stored on the sensor, with Save, Clear and "Quality
// Control...", each row ending in its result's quality flag while the results are flagged.
class ProcessedTextView : public QWidget {
    Q_OBJECT

  public:
    // `settings` outlive the view; "Quality Control..." changes them.
    ProcessedTextView(const ViewHost& host, views::LinkFlags flags,
                      views::ProcessedViewSettings& settings, QWidget* parent = nullptr);
    ViewFrame* frame() const { return frame_; }
    ViewList& list() { return *list_; }
    QPushButton* save_button() const { return save_; }
    QPushButton* clear_button() const { return clear_; }
    QPushButton* quality_button() const { return quality_; }

  private:
    void retitle();
    // Empties the list and reads every result anew, flagged with the settings' parameters.
    void start_reading();

    ViewHost host_;
    views::ProcessedViewSettings& settings_;
    ViewFrame* frame_;
    std::unique_ptr<ViewList> list_;
    QPushButton* save_;
    QPushButton* clear_;
    QPushButton* quality_;
};

// "DIAGNOSTICS": the sensor's log in colour, with its restart log and task table.
class DiagnosticsView : public QWidget {
    Q_OBJECT

  public:
    DiagnosticsView(const ViewHost& host, views::LinkFlags flags, QWidget* parent = nullptr);
    ViewFrame* frame() const { return frame_; }
    ViewList& list() { return *list_; }
    QPushButton* button(const QString& text) const;

  private:
    ViewHost host_;
    ViewFrame* frame_;
    std::unique_ptr<ViewList> list_;
};

// The last paths the two saves offered, kept for the run.
std::string& processed_output_save_path();
std::string& diagnostics_save_path();

}  // namespace kelpira::ui
