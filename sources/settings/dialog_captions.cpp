#include "settings/dialog_captions.h"

#include <map>

#include "lib/text.h"

namespace {

constexpr TDialogCaptions English{
    "OK",         "Cancel",      "&Yes",        "&No",     "&Help",
    "&Close",     "&Ignore",     "&Retry",      "Abort",   "&All",
    "Warning",    "Error",       "Information", "Confirm", "&Yes",
    "&No",        "OK",          "Cancel",      "&Help",   "No help available",
    "Help",       "&Abort",      "&Retry",      "&Ignore", "&All",
    "N&o to All", "Yes to &All",
};

// clang-format off
const std::map<std::string, TDialogCaptions>& Tables() {
    static const std::map<std::string, TDialogCaptions> tables{
        {"fr", {"OK", "Annuler", "&Oui", "&Non", "&Aide", "&Fermer", "&Ignorer", "&Retenter", "Abandon", "&Tout",
                "Avertissement", "Erreur", "Information", "Confirmation",
                "&Oui", "&Non", "OK", "Annuler", "A&ide", "Aucune aide disponible", "Aide",
                "&Abandon", "&Retenter", "I&gnorer", "&Tout", "Non &pour tout", "O&ui pour tout"}},
        {"in", {"OK", "Batal", "&Ya", "&Tidak", "&Bantuan", "&Tutup", "&Abaikan", "&Ulangi", "Batalkan", "&Semua",
                "Peringatan", "Kesalahan", "Informasi", "Konfirmasi",
                "&Ya", "&Tidak", "OK", "Batal", "&Bantuan", "Bantuan tidak tersedia", "Bantuan",
                "&Batalkan", "&Ulangi", "&Abaikan", "&Semua", "T&idak untuk semua", "Ya untuk s&emua"}},
        {"ru", {"OK", "Отмена", "&Да", "&Нет", "&Справка", "&Закрыть", "&Пропустить", "&Повторить", "Прервать",
                "&Все", "Предупреждение", "Ошибка", "Информация", "Подтверждение",
                "&Да", "&Нет", "OK", "Отмена", "&Справка", "Справка недоступна", "Справка",
                "&Прервать", "&Повторить", "&Пропустить", "&Все", "Н&ет для всех", "Да для &всех"}},
        {"pt", {"OK", "Cancelar", "&Sim", "&Não", "A&juda", "&Fechar", "&Ignorar", "&Repetir", "Abortar", "&Todos",
                "Aviso", "Erro", "Informação", "Confirmar",
                "&Sim", "&Não", "OK", "Cancelar", "A&juda", "Nenhuma ajuda disponível", "Ajuda",
                "&Abortar", "&Repetir", "&Ignorar", "&Todos", "N&ão para todos", "Sim para &todos"}},
        {"tr", {"Tamam", "İptal", "&Evet", "&Hayır", "&Yardım", "&Kapat", "&Yoksay", "&Yeniden dene", "Durdur",
                "&Tümü", "Uyarı", "Hata", "Bilgi", "Onay",
                "&Evet", "&Hayır", "Tamam", "İptal", "&Yardım", "Yardım yok", "Yardım",
                "&Durdur", "&Yeniden dene", "&Yoksay", "&Tümü", "Tümüne &hayır", "Tümüne &evet"}},
        {"de", {"OK", "Abbrechen", "&Ja", "&Nein", "&Hilfe", "&Schließen", "&Ignorieren", "&Wiederholen",
                "Abbrechen", "&Alle", "Warnung", "Fehler", "Information", "Bestätigen",
                "&Ja", "&Nein", "OK", "Abbrechen", "&Hilfe", "Keine Hilfe verfügbar", "Hilfe",
                "&Abbrechen", "&Wiederholen", "&Ignorieren", "&Alle", "N&ein für alle", "Ja für &alle"}},
        {"nl", {"OK", "Annuleren", "&Ja", "&Nee", "&Help", "&Sluiten", "&Negeren", "&Opnieuw", "Afbreken", "&Alles",
                "Waarschuwing", "Fout", "Informatie", "Bevestigen",
                "&Ja", "&Nee", "OK", "Annuleren", "&Help", "Geen help beschikbaar", "Help",
                "&Afbreken", "&Opnieuw", "&Negeren", "&Alles", "N&ee op alles", "Ja op &alles"}},
        {"el", {"OK", "Άκυρο", "&Ναι", "&Όχι", "&Βοήθεια", "&Κλείσιμο", "&Παράβλεψη", "&Επανάληψη", "Τερματισμός",
                "&Όλα", "Προειδοποίηση", "Σφάλμα", "Πληροφορίες", "Επιβεβαίωση",
                "&Ναι", "&Όχι", "OK", "Άκυρο", "&Βοήθεια", "Δεν υπάρχει διαθέσιμη βοήθεια", "Βοήθεια",
                "&Τερματισμός", "&Επανάληψη", "&Παράβλεψη", "&Όλα", "Ό&χι σε όλα", "Ναι σε ό&λα"}},
        {"es", {"Aceptar", "Cancelar", "&Sí", "&No", "A&yuda", "&Cerrar", "&Ignorar", "&Reintentar", "Anular",
                "&Todo", "Advertencia", "Error", "Información", "Confirmar",
                "&Sí", "&No", "Aceptar", "Cancelar", "A&yuda", "No hay ayuda disponible", "Ayuda",
                "&Anular", "&Reintentar", "&Ignorar", "&Todo", "N&o a todo", "Sí a &todo"}},
        {"tw", {"確定", "取消", "是(&Y)", "否(&N)", "說明(&H)", "關閉(&C)", "忽略(&I)", "重試(&R)", "中止", "全部(&A)",
                "警告", "錯誤", "資訊", "確認",
                "是(&Y)", "否(&N)", "確定", "取消", "說明(&H)", "沒有可用的說明", "說明",
                "中止(&A)", "重試(&R)", "忽略(&I)", "全部(&A)", "全部皆否(&O)", "全部皆是(&A)"}},
        {"cn", {"确定", "取消", "是(&Y)", "否(&N)", "帮助(&H)", "关闭(&C)", "忽略(&I)", "重试(&R)", "中止", "全部(&A)",
                "警告", "错误", "信息", "确认",
                "是(&Y)", "否(&N)", "确定", "取消", "帮助(&H)", "没有可用的帮助", "帮助",
                "中止(&A)", "重试(&R)", "忽略(&I)", "全部(&A)", "全否(&O)", "全是(&A)"}},
        {"cz", {"OK", "Storno", "&Ano", "&Ne", "&Nápověda", "&Zavřít", "&Ignorovat", "&Opakovat", "Přerušit", "&Vše",
                "Upozornění", "Chyba", "Informace", "Potvrzení",
                "&Ano", "&Ne", "OK", "Storno", "&Nápověda", "Nápověda není k dispozici", "Nápověda",
                "&Přerušit", "&Opakovat", "&Ignorovat", "&Vše", "N&e pro vše", "Ano pro &vše"}},
        {"dk", {"OK", "Annuller", "&Ja", "&Nej", "&Hjælp", "&Luk", "&Ignorer", "&Prøv igen", "Afbryd", "&Alle",
                "Advarsel", "Fejl", "Information", "Bekræft",
                "&Ja", "&Nej", "OK", "Annuller", "&Hjælp", "Ingen hjælp tilgængelig", "Hjælp",
                "&Afbryd", "&Prøv igen", "&Ignorer", "&Alle", "N&ej til alle", "Ja til &alle"}},
        {"hr", {"U redu", "Odustani", "&Da", "&Ne", "&Pomoć", "&Zatvori", "&Zanemari", "&Ponovi", "Prekini", "&Sve",
                "Upozorenje", "Pogreška", "Informacija", "Potvrda",
                "&Da", "&Ne", "U redu", "Odustani", "&Pomoć", "Pomoć nije dostupna", "Pomoć",
                "&Prekini", "&Ponovi", "&Zanemari", "&Sve", "N&e za sve", "Da za &sve"}},
        {"it", {"OK", "Annulla", "&Sì", "&No", "&Aiuto", "&Chiudi", "&Ignora", "&Riprova", "Interrompi", "&Tutti",
                "Avviso", "Errore", "Informazione", "Conferma",
                "&Sì", "&No", "OK", "Annulla", "&Aiuto", "Nessun aiuto disponibile", "Aiuto",
                "&Interrompi", "&Riprova", "&Ignora", "&Tutti", "N&o a tutti", "Sì a &tutti"}},
        {"po", {"OK", "Anuluj", "&Tak", "&Nie", "Pomo&c", "&Zamknij", "&Ignoruj", "&Ponów", "Przerwij", "&Wszystko",
                "Ostrzeżenie", "Błąd", "Informacja", "Potwierdzenie",
                "&Tak", "&Nie", "OK", "Anuluj", "Pomo&c", "Pomoc niedostępna", "Pomoc",
                "&Przerwij", "&Ponów", "&Ignoruj", "&Wszystko", "N&ie dla wszystkich", "Tak dla &wszystkich"}},
        {"se", {"OK", "Avbryt", "&Ja", "&Nej", "&Hjälp", "&Stäng", "&Ignorera", "&Försök igen", "Avbryt", "&Alla",
                "Varning", "Fel", "Information", "Bekräfta",
                "&Ja", "&Nej", "OK", "Avbryt", "&Hjälp", "Ingen hjälp tillgänglig", "Hjälp",
                "&Avbryt", "&Försök igen", "&Ignorera", "&Alla", "N&ej till alla", "Ja till &alla"}},
    };
    return tables;
}
// clang-format on

TDialogCaptions Current = English;

}  // namespace

const TDialogCaptions& EnglishDialogCaptions() { return English; }

std::optional<TDialogCaptions> DialogCaptionsFor(const std::string& code) {
    const auto found = Tables().find(LowerCase(Trim(code)));
    if (found == Tables().end()) return std::nullopt;
    return found->second;
}

void SetDialogCaptions(const std::string& code) { Current = DialogCaptionsFor(code).value_or(English); }

const TDialogCaptions& CurrentDialogCaptions() { return Current; }

std::string DialogCaption(TDialogCaption which) { return Current[static_cast<std::size_t>(which)]; }
