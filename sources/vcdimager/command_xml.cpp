#include "vcdimager/command_xml.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "lib/safe_file.h"
#include "settings/language.h"
#include "vcdimager/last_file_names.h"
#include "writers/vcd_properties_xml.h"

TCommandXml::TCommandXml(TCommandSetup setup)
    : TCommandInterface(std::move(setup)), Info(std::dynamic_pointer_cast<TXmlGenerationInfo>(Param)) {
    Kind = TCommandKind::XmlGeneration;
}

TCommandXml::~TCommandXml() { TCommandXml::Release(); }

std::string TCommandXml::XmlFile() const { return Info && Info->Properties ? Info->Properties->XmlPath : ""; }

std::string TCommandXml::FinalXmlFile() const {
    return Info && Info->Outputs ? Info->Outputs->FinalPath(XmlFile()) : XmlFile();
}

void TCommandXml::OnSuccess() {
    if (!XmlFile().empty()) RememberLastFileName(TFileDialogKind::Xml, FinalXmlFile());
}

// The description is saved whole or not at all: a previous one stays as it was.
void TCommandXml::OnFailure() {
    if (Info && Info->Outputs) Info->Outputs->Discard();
}

void TCommandXml::OnCancel() { OnFailure(); }

void TCommandXml::FilterLine(std::string& line) {
    line = Trim(line);
    if (line.find(XmlGeneratedMessage) != std::string::npos) Status.SuccessLines.push_back(line);
    if (StartsText(line, "ERROR: ")) Status.ErrorLines.push_back(line.substr(7));
}

void TCommandXml::TranslateLine(const std::string& line, std::string& result) {
    result = line;
    const std::string phrase = XmlGeneratedMessage;
    if (const std::size_t at = FindText(result, phrase); at != std::string::npos)
        result.replace(at, phrase.size(), Translate(phrase));
    result = Trim(result);
}

void TCommandXml::Execute(TCommandLinesView* commandLineMemo, TCommandDoneEvent onDone,
                          TCommandMessageEvent onMessage) {
    if (Cancelled) return;
    TCommandInterface::Execute(commandLineMemo, std::move(onDone), std::move(onMessage));
    if (CommandLineMemo) {
        CommandLineMemo->AddLine(Title);
        CommandLineMemo->AddLine("");
        CommandLineMemo->ShowStart();
    }
    Status.Started = true;
    Generate();
}

void TCommandXml::Generate() {
    const std::string aborted = "Unable to generate the internally computed XML file, execution aborted...";
    if (!Info) return Fail(aborted);
    if (Info->OnXmlStart) Info->OnXmlStart(*this, false);
    if (!Info->Properties) return Fail(aborted);
    TVcdProperties& properties = *Info->Properties;

    properties.Lines.clear();
    WriteVideoCdXml(&properties, false);
    std::string text;
    for (const std::string& line : properties.Lines) text += line + "\r\n";
    if (Info->OnXmlText) Info->OnXmlText(*this, text);

    const std::string& xmlFile = properties.XmlPath;
    if (xmlFile.empty())
        return Fail("Unable to generate the internally computed XML file (bad filename), execution aborted...");
    std::string error;
    if (!SaveFileSafely(xmlFile, text, &error)) return Fail("Unable to create the new file \"" + FinalXmlFile() + "\"");
    const std::string finalName = FinalXmlFile();
    if (Info->CommitOutputs && Info->Outputs && !Info->Outputs->Commit(&error))
        return Fail("Unable to create the new file \"" + finalName + "\": " + error);

    EmitLine(std::string(XmlGeneratedMessage) + ": \"" + finalName + "\"");
    CommandEnded(0);
}

void TCommandXml::Fail(const std::string& message) {
    if (Cancelled) return;
    Failed = true;
    EmitLine("ERROR: " + message);
    Status.SetFailed();
    CommandEnded(1);
}

void TCommandXml::Cancel() {
    if (Cancelled) return;
    Cancelled = true;
    Status.SetCancelled();
    CommandEnded(1);
}

void TCommandXml::Release() { OnDone = nullptr; }

std::unique_ptr<TCommandXml> MakeXmlCommand(std::shared_ptr<TXmlGenerationInfo> info, TCommandOutputEvent onOutput) {
    TCommandSetup setup;
    setup.Param = std::move(info);
    setup.Title = "Internal Xml Generation";
    setup.WaitMessage = Translate("Generating the (internally computed) XML file and preparing its display") + "...";
    setup.OnOutput = std::move(onOutput);
    setup.Reported = true;
    setup.StopWaitingAtEnd = true;
    return std::make_unique<TCommandXml>(std::move(setup));
}
