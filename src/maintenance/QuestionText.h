#pragma once
// Plain functions of the maintenance windows, apart from any widget: the
// cleaning of an edited question and the text the teacher is shown when a
// change cannot be made.

#include "BankResult.h"

#include <QString>

// The edited text as it is stored: spaces removed at the end, then at the
// start (spaces only), then every carriage return and every line feed
// removed, joining the lines with nothing between them. Empty when nothing
// but spaces remains.
QString cleanQuestionText(const QString &edited);

// The message for a change the bank refused or could not make. A full topic
// or chapter gets `fullMessage`; a text the code page cannot hold names the
// characters; a lock held or a change made by another program gets the
// bank's own sentence; anything else is a failure to update, with its reason.
QString changeRefusedMessage(const BankError &error, const QString &fullMessage);
