#pragma once
#include <ctime>
#include <string>

// Milestones of a run go to an outside monitor window of class "BrellixEvent" as
// lines like "(14:03:27) -UN 1*"; without such a window they are dropped.
// Called from both the interface thread and the removal worker.
void Trace(const std::string& text);
std::string FormatTraceLine(const std::string& text, const std::tm& localTime);
