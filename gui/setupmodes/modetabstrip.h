#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class Prompt;

// The three mode tabs ("Direct Command Mode", "User Setup Mode", "Serial OUT
// Mode") over their panels Picture1_0..2. Leaving a tab whose mode is active
// asks the user first; the change can be refused.
class ModeTabStrip : public QWidget
{
    Q_OBJECT
public:
    explicit ModeTabStrip(Prompt &prompt, QWidget *parent = nullptr);
    ~ModeTabStrip() override;

    // Picture1_i, i = 0 to 2: put each tab's controls into these.
    QWidget *panel(int index) const;
    // Index 0 to 2 of the panel in front.
    int currentTab() const;
    // Answers whether the mode of tab 1 or 2 is active (asked before leaving it).
    void setModeActiveQuery(std::function<bool(int tab)> query);

signals:
    // The tab-selection handling ran and brought panel `tab` to the front
    // (also when Timer1 re-runs it).
    void tabSelected(int tab);

private:
    struct Private;
    std::unique_ptr<Private> d;

    void onTabBarChanged(int index);
    bool mayLeave(int tab);
    void selectTab();
    void stepTab(int delta);
};
