#include "vcdimager/command_xml.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "lib/safe_file.h"
#include "settings/language.h"
#include "vcdimager/last_file_names.h"
#include "writers/video_cd_xml_writer.h"

TCommandXml::TCommandXml(TCommandSetup setup)
    : TCommandInterface(std::move(setup)), Info(std::dynamic_pointer_cast<TXmlGenerationInfo>(Param)) {
    Kind = TCommandKind::XmlGeneration;
}

TCommandXml::~TCommandXml() { TCommandXml::Release(); }

void TCommandXml::OnSuccess() {
    if (Info && !Info->XmlFile.empty()) RememberLastFileName(TFileDialogKind::Xml, Info->XmlFile);
}

void TCommandXml::OnFailure() {
    if (!Info || Info->XmlFile.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(Info->XmlFile, ignored);
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
    if (!Info->Description) return Fail(aborted);

    Info->Lines = WriteVideoCdXml(*Info->Description, TXmlMode::Plain);
    std::string text;
    for (const std::string& line : Info->Lines) text += line + "\r\n";
    if (Info->OnXmlText) Info->OnXmlText(*this, text);

    if (Info->XmlFile.empty())
        return Fail("Unable to generate the internally computed XML file (bad filename), execution aborted...");
    std::string error;
    if (!SaveFileSafely(Info->XmlFile, text, &error))
        return Fail("Unable to create the new file \"" + Info->XmlFile + "\"");

    EmitLine(std::string(XmlGeneratedMessage) + ": \"" + Info->XmlFile + "\"");
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
