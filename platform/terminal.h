// Text at the terminal for the command-line front end: arguments, standard input and
// output in the user's own encoding, converted to and from CP936 at this edge only.
//
// On Linux the user's encoding is the locale's (UTF-8 as a rule). On Windows the
// entry point receives UTF-16 arguments and hands them on as UTF-8, so UTF-8 is the
// terminal encoding there; the console itself is written in UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace kelvaro {

enum class StandardStream { Input, Output, Error };

// Prepares the process's terminal: the locale on Linux, UTF-8 console modes on Windows.
void InitTerminal();
bool IsTerminal(StandardStream stream);

std::string TerminalToAnsi(std::string_view text);   // the user's encoding -> CP936
std::string AnsiToTerminal(std::string_view cp936);  // CP936 -> the user's encoding

// Writes text in the user's encoding to standard output or error, unbuffered.
void WriteTerminal(StandardStream stream, std::string_view text);
// All of standard input as bytes.
std::string ReadAllStandardInput();

}  // namespace kelvaro
