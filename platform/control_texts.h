// Captions and tooltips set on a window's controls by their numbered names (the
// texts tables of a language). A name that no control below the root carries is
// left out.
#pragma once

#include <QWidget>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// (name, text) pairs; texts are Windows-1252 bytes.
using NamedTexts = std::vector<std::pair<std::string, std::string>>;

// The captions of labels, command buttons, check boxes, option buttons and frames;
// a control of another kind keeps its text.
void SetCaptions(const QWidget& root, const NamedTexts& captions);
void SetToolTips(const QWidget& root, const NamedTexts& tooltips);
void ClearToolTips(const QWidget& root, const std::vector<std::string>& names);
// Each (target, source) pair: the target gets the source's tooltip, when both exist.
void CopyToolTips(const QWidget& root, const std::vector<std::pair<std::string, std::string>>& target_source);

}  // namespace platform
