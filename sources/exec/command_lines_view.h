// The view that shows the command lines a run starts with: the GUI's text
// view, or a plain list for the command line and the tests.
#pragma once

#include <string>

#include "lib/text.h"

class TCommandLinesView {
public:
    virtual ~TCommandLinesView() = default;
    virtual int LineCount() const = 0;
    virtual void Clear() = 0;
    virtual void AddLine(const std::string& line) = 0;
    // Scrolls back to the first line, with nothing selected.
    virtual void ShowStart() = 0;
};

class TCommandLinesList final : public TCommandLinesView {
public:
    TStringList Lines;

    int LineCount() const override { return static_cast<int>(Lines.size()); }
    void Clear() override { Lines.clear(); }
    void AddLine(const std::string& line) override { Lines.push_back(line); }
    void ShowStart() override {}
};
