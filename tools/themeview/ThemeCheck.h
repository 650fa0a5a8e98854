#pragma once
#include <string>
#include <vector>

// What a theme author must mend in a page file: everything the engine reads
// differently from what the file seems to say, or silently leaves out.
struct ThemeProblem {
    std::string file;  // the page file's name
    std::string key;   // "[INFO]3", "[DADOS]12,t", "[MAINWINDOW]bkcolor"
    std::string message;
    bool hint = false;  // advice: the page works as the author meant, less well than it could

    // "file:key: message", "file:key: hint: message"
    std::string Line() const { return file + ":" + key + ": " + (hint ? "hint: " : "") + message; }
};

// Reads the page file of the folder (given with its trailing backslash) the way
// a page window reads it, with the engine's own parsing, without creating any
// window, and lists its problems: the window's keys first, then the control
// lines in key order, each followed by the problems of its rows. Pictures and
// icons are decoded as the page would decode them (COM is initialised for it).
std::vector<ThemeProblem> CheckTheme(const std::string& folder, const std::string& fileName);
