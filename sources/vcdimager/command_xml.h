// TCommandXml writes the VideoCD XML description of the project in-process and
// ends like any tool command, so that the image build queued after it and the
// queue's messages treat it the same way.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "exec/command_interface.h"
#include "lib/output_files.h"
#include "lib/text.h"
#include "model/vcd_properties.h"

class TXmlGenerationInfo : public TCommandParam {
public:
    // The project: its XML path, and the lines that receive the description.
    std::shared_ptr<TVcdProperties> Properties;
    // Receives the whole text (CR LF after each line), for the XML viewer.
    std::function<void(TCommandInterface& sender, const std::string& xmlText)> OnXmlText;
    // Called with false before the generation starts.
    std::function<void(TCommandInterface& sender, bool flag)> OnXmlStart;
    // When set, the project's XML path is a temporary name of these outputs:
    // they are moved into place after the generation when `CommitOutputs`
    // (the description is the last output), otherwise by the build after it.
    std::shared_ptr<TOutputFiles> Outputs;
    bool CommitOutputs = false;
};

inline constexpr const char* XmlGeneratedMessage = "Internally computed XML generated successfully";

class TCommandXml final : public TCommandInterface {
public:
    explicit TCommandXml(TCommandSetup setup);
    ~TCommandXml() override;

    std::shared_ptr<TXmlGenerationInfo> Info;

    void OnSuccess() override;
    void OnFailure() override;
    void OnCancel() override;
    void FilterLine(std::string& line) override;
    void TranslateLine(const std::string& line, std::string& result) override;
    void Execute(TCommandLinesView* commandLineMemo, TCommandDoneEvent onDone, TCommandMessageEvent onMessage) override;
    void Cancel() override;
    void Release() override;

private:
    std::string XmlFile() const;
    // The name the description ends up with.
    std::string FinalXmlFile() const;
    void Generate();
    void Fail(const std::string& message);
};

// The generation step of the authoring queue; `onOutput` receives the status lines.
std::unique_ptr<TCommandXml> MakeXmlCommand(std::shared_ptr<TXmlGenerationInfo> info, TCommandOutputEvent onOutput);
