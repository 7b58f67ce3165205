#pragma once

class FollowedValues;
class QWidget;

// "Esporta…" and "Importa…" of "Valori seguiti": the file asked in a file dialog (the
// export's with "con le letture" beside it), the watch written or read through the values,
// and how it went told over the window.
class WatchFileQuestions final
{
public:
    WatchFileQuestions() = delete;

    static void exportWatch(FollowedValues &values, QWidget *over);
    static void importWatch(FollowedValues &values, QWidget *over);
};
