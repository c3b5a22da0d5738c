#include "web/page_texts.h"

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "texts/text_table.h"
#include "ui_model/settings_form.h"

namespace korvane::web {
namespace {

// What a class changes: the sizes and rates of both searches.
bool IsClassSetting(const SettingsField& f) {
  const ParamInfo* info = FindParam(f.param);
  return info && info->inClass;
}

std::string Object(std::initializer_list<std::pair<const char*, std::string>> members) {
  std::string out = "{";
  for (const auto& [name, value] : members) out += (out.size() > 1 ? "," : "") + JsonString(name) + ":" + value;
  return out + "}";
}

std::string Strings(std::initializer_list<Tx> items) {
  std::string out = "[";
  for (const Tx id : items) out += (out.size() > 1 ? "," : "") + JsonString(text::Ui(id));
  return out + "]";
}

std::string JsonText(Tx id) { return JsonString(text::Ui(id)); }

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string SettingsValuesJson(const SimParams& p) {
  std::string out = "[";
  for (const SettingsField& f : SettingsFields()) {
    if (!IsClassSetting(f)) continue;
    out += (out.size() > 1 ? "," : "") + Object({{"name", JsonString(f.param)},
                                                 {"page", std::to_string(f.page)},
                                                 {"id", std::to_string(f.controlId)},
                                                 {"group", f.group == Tx::None ? JsonString("") : JsonText(f.group)},
                                                 {"label", JsonText(f.label)},
                                                 {"value", JsonString(SettingsFieldText(p, f))}});
  }
  return out + "]";
}

std::string PageTextsJson(const SimParams& p) {
  return Object({
      {"title", JsonText(Tx::MainTitle)},
      {"ok", JsonText(Tx::OkButton)},
      {"cancel", JsonText(Tx::CancelButton)},
      {"introduction", JsonText(Tx::Introduction)},
      {"manual", JsonText(Tx::MenuManual)},
      {"manualStart", JsonText(Tx::ManualStart)},
      {"manualEscaped", JsonText(Tx::ManualEscaped)},
      {"manualCrashed", JsonText(Tx::ManualCrashed)},
      {"ga", JsonText(Tx::MenuGA)},
      {"startGa", JsonText(Tx::MenuStartGA)},
      {"stepByStep", JsonText(Tx::MenuStepByStep)},
      {"showResult", JsonText(Tx::MenuShowResult)},
      {"network", JsonText(Tx::MenuNetwork)},
      {"train", JsonText(Tx::MenuTrain)},
      {"showTraining", JsonText(Tx::MenuShowTraining)},
      {"heuristic", JsonText(Tx::MenuHeuristic)},
      {"startHeuristic", JsonText(Tx::MenuStartHeuristic)},
      {"continue", Strings({Tx::MenuContinueGA, Tx::MenuContinueTraining, Tx::MenuContinueHeuristic})},
      {"loadLevel", JsonText(Tx::MenuLoadLevel)},
      {"levels", Strings({Tx::MenuLevel1, Tx::MenuLevel2, Tx::MenuLevel3, Tx::MenuLevel4})},
      {"settings", JsonText(Tx::MenuSettings)},
      {"runControl", JsonText(Tx::MenuRunControl)},
      {"stop", JsonText(Tx::MenuStop)},
      {"paces", Strings({Tx::MenuPaceFastest, Tx::MenuPaceWatch, Tx::MenuPaceStep})},
      {"rerun", JsonText(Tx::MenuRerun)},
      {"setSeed", JsonText(Tx::MenuSetSeed)},
      {"seedLabel", JsonText(Tx::SeedDialogLabel)},
      {"showPaths", JsonText(Tx::MenuShowPaths)},
      {"showNetwork", JsonText(Tx::MenuShowNetwork)},
      {"exportHistory", JsonText(Tx::MenuExportHistory)},
      {"nothingToExport", JsonText(Tx::NothingToExport)},
      {"pages", Strings({SettingsPageTitles[0], SettingsPageTitles[1], SettingsPageTitles[2]})},
      {"fields", SettingsValuesJson(p)},
  });
}

}  // namespace korvane::web
