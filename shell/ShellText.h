// Strings of the core layers on their way into Qt widgets. The viewer's own texts are UTF-8;
// texts made from game data (track, texture and model names) are Windows-1252 bytes. Both reach
// the windows through the same calls, so the bytes decide: valid UTF-8 is taken as it is, anything
// else is read as Windows-1252.
#pragma once

#include <QString>

#include <string>
#include <string_view>

bool IsValidUtf8(std::string_view text);
QString ToDisplayText(const std::string& text);
// As ToDisplayText, with the CR LF line breaks of message texts turned into plain line feeds.
QString ToMessageText(const std::string& text);
std::string FromDisplayText(const QString& text); // UTF-8
