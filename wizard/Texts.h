// The Italian texts of the wizard's code, in Windows-1252 ("\xE8" is e grave): status-bar lines,
// message boxes and the statistics card's fixed parts. The texts of the controls themselves are
// in the layout tables (Form1Layout.cpp, Form2Layout.cpp).
#pragma once

namespace wizard {

// The destination until the user chooses another (also the text LabelDir starts with).
constexpr char kDefaultDestination[] = "c:\\programmi\\nortavia\\Lumidesk";
// Between the window's caption and the archive's title, which follows without a blank.
constexpr char kCaptionVersionPrefix[] = " Vers.";

// The status bar.
constexpr char kStatusOnline[] = "Connessione attiva";
constexpr char kStatusOffline[] = "Per installare il programma dovete essere connessi a internet!";
constexpr char kStatusPayloadDamaged[] =
    "Programma di installazione danneggiato o incompleto: procurarsene una nuova copia";
constexpr char kStatusCheckingPayload[] = "Verifica del programma di installazione in corso...";

// The statistics card.
constexpr char kIncompleteCardText[] = "Dati incompleti";
constexpr char kIncompleteCardTitle[] = "Completa modulo!";
constexpr char kAcceptNoticeText[] = "Per continuare accettare quanto previsto dall'informativa";
constexpr char kCardSubject[] = "Scheda statistica Zentaro";
constexpr char kCardAcceptLine[] = "Accetto quanto segue:";

// The installation run.
constexpr char kInstallDoneText[] = "Lanciare il programma dall'icona sul desktop";
constexpr char kInstallDoneTitle[] = "Installazione conclusa con successo";
constexpr char kInstallFailedText[] =
    "L'installazione non \xE8 stata completata. Controllare la cartella di destinazione e "
    "riprovare.";
constexpr char kInstallFailedTitle[] = "Installazione non riuscita";
// A destination that is not a full path, refused before anything is made; the example
// (kDefaultDestination) follows.
constexpr char kDestinationNotFullText[] =
    "La cartella di destinazione manca o non \xE8 un percorso completo. Scegliere con il "
    "pulsante Cambia una cartella di destinazione completa, per esempio ";
// The payload is checked before anything is written: a cheap walk of its structure at start-up,
// the whole walk (every block inflated and checked) when "Installa" is pressed.
constexpr char kPayloadDamagedText[] =
    "Il programma di installazione \xE8 danneggiato o incompleto: non \xE8 stato installato "
    "alcun file. Procurarsi una nuova copia del programma di installazione e riprovare.";
// A payload member whose file name Windows cannot hold safely; the name follows.
constexpr char kUnsafeNameText[] =
    "Il programma di installazione contiene un file dal nome non valido, che non pu\xF2 essere "
    "installato: non \xE8 stato installato alcun file. Nome: ";
// Why a run that had started writing stopped: the folder or file path is put in between.
constexpr char kFolderNotCreatedText[] =
    "L'installazione non \xE8 stata completata: impossibile creare la cartella ";
constexpr char kFolderNotCreatedAdvice[] =
    ". Scegliere un'altra cartella di destinazione e riprovare.";
constexpr char kFileInUseText[] = "L'installazione non \xE8 stata completata: il file ";
constexpr char kFileInUseAdvice[] =
    " \xE8 in uso da un altro programma o protetto dalla scrittura e non pu\xF2 essere "
    "sostituito. Chiudere il programma che lo usa e riprovare.";
constexpr char kFileNotWrittenText[] =
    "L'installazione non \xE8 stata completata: impossibile scrivere il file ";
constexpr char kFileNotWrittenAdvice[] =
    ". La cartella di destinazione potrebbe essere protetta dalla scrittura o il disco pieno: "
    "scegliere un'altra cartella o liberare spazio e riprovare.";
// Refused before anything is written: the destination's drive lacks room for the run. The
// megabytes needed and free are put in between.
constexpr char kDiskSpaceText[] =
    "Spazio insufficiente sul disco di destinazione: per l'installazione servono ";
constexpr char kDiskSpaceFreeText[] = " MB e ne sono liberi ";
constexpr char kDiskSpaceAdvice[] =
    " MB. Non \xE8 stato installato alcun file. Liberare spazio sul disco o scegliere un'altra "
    "cartella di destinazione e riprovare.";
// The disk filled up while a file was written (its path follows).
constexpr char kDiskFullText[] =
    "L'installazione non \xE8 stata completata: il disco di destinazione si \xE8 riempito "
    "durante la scrittura del file ";
constexpr char kDiskFullAdvice[] =
    ". Liberare spazio sul disco o scegliere un'altra cartella di destinazione e riprovare.";
// The journal of the run's changes (its path follows) could not be written, or the journal of
// an interrupted run is still waiting to be undone.
constexpr char kJournalNotWrittenText[] =
    "L'installazione non \xE8 stata completata: impossibile scrivere il giornale delle "
    "modifiche ";
constexpr char kJournalNotWrittenAdvice[] =
    ". Controllare lo spazio libero e i permessi sul disco di sistema e riprovare.";
constexpr char kJournalPendingText[] =
    "Non \xE8 stato installato alcun file: le modifiche di un'installazione interrotta non sono "
    "ancora state annullate. Il loro giornale \xE8 ";
constexpr char kJournalPendingAdvice[] =
    ". Chiudere e riavviare il programma di installazione, che prover\xE0 ad annullarle.";
// After a failed run's stop message: its changes were undone, or some could not be (each is
// listed after kUndoFailedText, and the journal's path follows kUndoRetryText).
constexpr char kRunUndoneText[] =
    "\n\nLe modifiche fatte finora sono state annullate: il computer \xE8 com'era prima "
    "dell'installazione.";
constexpr char kUndoFailedText[] = "\n\nAlcune modifiche non hanno potuto essere annullate:";
constexpr char kUndoFileText[] = "\n- il file ";
constexpr char kUndoLinkText[] = "\n- il collegamento ";
constexpr char kUndoNotRestoredText[] =
    " non \xE8 stato ripristinato: la versione precedente \xE8 ";
constexpr char kUndoNotRemovedText[] = " non \xE8 stato rimosso";
constexpr char kUndoJournalText[] = "\n- il giornale delle modifiche ";
constexpr char kUndoValueText[] = "\n- il valore ";
constexpr char kUndoValueKeyText[] = " della chiave del registro di sistema ";
constexpr char kUndoValueNotRestoredText[] = " non \xE8 stato ripristinato";
constexpr char kUndoRetryText[] =
    "\nAl prossimo avvio il programma di installazione prover\xE0 di nuovo ad annullarle. "
    "Il giornale delle modifiche \xE8 ";
// At start-up, about a run that was interrupted (killed, or the computer switched off).
constexpr char kInterruptedTitle[] = "Installazione interrotta";
constexpr char kInterruptedUndoneText[] =
    "Un'installazione di Lumidesk si \xE8 interrotta prima della fine. Le modifiche che aveva "
    "fatto sono state annullate: ";
constexpr char kInterruptedNothingText[] =
    "Un'installazione di Lumidesk si \xE8 interrotta prima della fine, senza aver ancora "
    "modificato nulla.";
constexpr char kInterruptedAgainText[] =
    " Il computer \xE8 com'era prima: l'installazione pu\xF2 essere avviata di nuovo.";
constexpr char kInterruptedFinishedText[] =
    "Un'installazione di Lumidesk si \xE8 interrotta subito dopo essere stata completata: sono "
    "stati rimossi i file provvisori che aveva lasciato. Per registrarla, e poterla poi "
    "disinstallare, avviare di nuovo l'installazione.";
constexpr char kInterruptedUnreadableText[] =
    "Un'installazione di Lumidesk si \xE8 interrotta prima della fine, ma il giornale delle sue "
    "modifiche non pu\xF2 essere letto per intero: le modifiche non sono state annullate. Il "
    "giornale \xE8 rimasto in ";
// The counts of what was undone: a number goes before each.
constexpr char kCountFiles[] = " file";
constexpr char kCountFolder[] = " cartella";
constexpr char kCountFolders[] = " cartelle";
constexpr char kCountLink[] = " collegamento";
constexpr char kCountLinks[] = " collegamenti";
constexpr char kCountRegistry[] = " voci del registro di sistema";
constexpr char kCountRegistryOne[] = " voce del registro di sistema";
// Errors the routing handler raises; the restore absorbs them (the run's end tells the user),
// so they are never shown. The stored path follows the second.
constexpr char kFolderPreparationError[] = "Impossibile creare la cartella destinazione";
constexpr char kUnsafeMemberName[] = "Nome di file non valido nell'archivio: ";

// Closing and the uninstall.
// Closing again after the install record could not be written.
constexpr char kRecordNotWrittenText[] =
    "L'installazione non \xE8 stata registrata: non sar\xE0 possibile disinstallare "
    "Lumidesk da questo programma.";
constexpr char kUninstalledText[] = "Zentaro \xE8 stato disinstallato";

}  // namespace wizard
