// Find: every port of the computer asked what drawer or printer is on it (find::Search), one step
// on each tick of a timer so that the window stays live, each device told on a line of its own as
// soon as it is done, with the test screen for it one click away on a port that leads to it.
// Cancel ends the search at the device being asked, which is put back and closed first.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "app/program.h"
#include "find/search.h"
#include "toolkit/application.h"

namespace app {

class FindForm final : public toolkit::Form {
public:
    static constexpr std::size_t kRows = 6;  // devices on a page

    FindForm(toolkit::Application& app, Program& program, bool fromPorts);

    // One device's line: a lamp (green: a drawer or printer; yellow: something else answered
    // or stood in the way), where it is, what was found there, and its test screen.
    struct Row {
        Row(Form& form, int number);
        toolkit::Shape lamp;
        toolkit::Label where;
        toolkit::Label found;
        toolkit::CommandButton open;
    };

    toolkit::Label title{*this, "title"};
    toolkit::Label Explanation{*this, "Explanation"};
    Row Row1{*this, 1};
    Row Row2{*this, 2};
    Row Row3{*this, 3};
    Row Row4{*this, 4};
    Row Row5{*this, 5};
    Row Row6{*this, 6};
    toolkit::Label Page{*this, "Page"};
    toolkit::CommandButton Previous{*this, "Previous"};
    toolkit::CommandButton Next{*this, "Next"};
    toolkit::Label Progress{*this, "Progress"};
    toolkit::CommandButton Again{*this, "Again"};
    toolkit::CommandButton Cancel{*this, "Cancel"};
    toolkit::CommandButton exit{*this, "exit"};
    toolkit::Timer Search_Timer{*this, "Search_Timer", toolkit::Millis{10}, false};

    std::array<Row*, kRows> rows() { return {&Row1, &Row2, &Row3, &Row4, &Row5, &Row6}; }
    const std::vector<find::Finding>& findings() const { return m_findings; }
    bool searching() const { return m_search.has_value(); }

private:
    void load() override;
    void unload() override;

    void Again_Click();
    void Cancel_Click();
    void exit_Click();
    void Previous_Click();
    void Next_Click();
    void open_Click(std::size_t row);
    void Search_Timer_Timer();

    void start();
    // Ends the search now: the device being asked is put back and closed.
    void finish();
    void searchEnded();
    void found(const find::Finding& finding);
    void showPage();
    std::size_t pages() const;

    Program& m_program;
    bool m_fromPorts;
    std::optional<find::Search> m_search;
    std::vector<find::Finding> m_findings;
    std::size_t m_page = 0;
};

}  // namespace app
