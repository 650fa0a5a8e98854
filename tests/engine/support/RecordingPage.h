#pragma once
#include <string>
#include <vector>

#include "product/UninstallPage.h"

// Stands in for the page window where a test wants what a run reports, in order.
class RecordingPage : public UninstallPage {
public:
    void ShowStatusText(const std::string& text, StatusTarget target) override {
        statusTexts.push_back({text, target});
        events.push_back("status:" + text);
    }
    void SetProgressRange(int total) override {
        ranges.push_back(total);
        events.push_back("range:" + std::to_string(total));
    }
    void SetProgressPosition(int position) override {
        positions.push_back(position);
        events.push_back("position:" + std::to_string(position));
    }
    void EnableCancel() override { events.push_back("enable-cancel"); }
    void ShowCompletion() override { events.push_back("completion"); }

    struct Status {
        std::string text;
        StatusTarget target;
    };
    std::vector<Status> statusTexts;
    std::vector<int> ranges;
    std::vector<int> positions;
    std::vector<std::string> events;
};
