// The entry points of the fuzz programs: each takes any bytes, hands them to one parser of
// outside input as the program would, and returns 0. A fault shows as a crash or a sanitizer
// report. The replay test calls the same functions with the inputs that once failed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelpira::fuzz {

// A raw output file, processed as kelpira-process does with every chemistry choice: the
// header pass, the row pass and the chemistry's engine.
int raw_file_input(const std::uint8_t* data, std::size_t size);

// A sensor's answer: byte 0 picks a command wrapper, the rest is the answer report from its
// result byte on. The identity records, the firmware version parser and the compatibility
// verdict read the same bytes.
int device_answer_input(const std::uint8_t* data, std::size_t size);

// A state-machine program file: byte 0 picks the layout (current, legacy, JSON), the rest is
// the file. A program that reads is written back and read again.
int state_program_input(const std::uint8_t* data, std::size_t size);

// kelpira-process arguments, separated by NUL bytes.
int process_args_input(const std::uint8_t* data, std::size_t size);

// kelpira-ctl arguments, separated by NUL bytes: the global options, the command's name, and
// the arguments of the commands that take options.
int ctl_args_input(const std::uint8_t* data, std::size_t size);

// A sensor's name of any bytes through the snapshot (written and read back to the same
// bytes), the configuration report and the deployment check, every text safe to show.
int identity_text_input(const std::uint8_t* data, std::size_t size);

// A configuration snapshot file, checked field by field as an import checks it.
int snapshot_input(const std::uint8_t* data, std::size_t size);

// Bytes on a platform's serial line, read until each terminator and scanned with every reply
// format of the glider and ETI exchanges.
int serial_reply_input(const std::uint8_t* data, std::size_t size);

// The processed output graph fed with stored results (and zoomed, clicked and reset as the
// input steers), and the raw output graph with live samples, a platform record and
// thermistor calibrations, drawn at several window sizes.
int graph_input(const std::uint8_t* data, std::size_t size);

// An input read once (standard input, a pipe), copied as kelpira-process copies it: byte 0
// sets the copy's limit, the rest is the input; the copy holds it exactly or is refused.
int input_spool_input(const std::uint8_t* data, std::size_t size);

}  // namespace kelpira::fuzz
