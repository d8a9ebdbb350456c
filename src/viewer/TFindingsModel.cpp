#include "TFindingsModel.h"

#include "CheckReport.h"

#include <QApplication>
#include <QStyle>

using lodestar::check::TSeverity;

void TFindingsModel::SetResult(lodestar::check::TCheckResult result) {
  beginResetModel();
  FResult = std::move(result);
  endResetModel();
}

const lodestar::check::TFinding* TFindingsModel::Finding(int row) const {
  if (row < 0 || row >= static_cast<int>(FResult.Findings.size()))
    return nullptr;
  return &FResult.Findings[static_cast<std::size_t>(row)];
}

int TFindingsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FResult.Findings.size());
}

int TFindingsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ColumnCount;
}

QVariant TFindingsModel::data(const QModelIndex& index, int role) const {
  const lodestar::check::TFinding* finding = Finding(index.row());
  if (!finding || index.column() < 0 || index.column() >= ColumnCount)
    return {};
  if (role == Qt::DecorationRole && index.column() == Severity) {
    const auto icon = finding->Rule->Severity == TSeverity::Warning ? QStyle::SP_MessageBoxWarning
                                                                    : QStyle::SP_MessageBoxCritical;
    return QApplication::style()->standardIcon(icon);
  }
  if (role == Qt::ToolTipRole && index.column() == Rule)
    return QString::fromUtf8(finding->Rule->Summary.data(),
                             static_cast<qsizetype>(finding->Rule->Summary.size()));
  if (role != Qt::DisplayRole)
    return {};
  switch (index.column()) {
  case Severity:
    return QString::fromLatin1(SeverityText(finding->Rule->Severity));
  case Rule:
    return QString::fromLatin1(finding->Rule->Id.data(),
                               static_cast<qsizetype>(finding->Rule->Id.size()));
  case Directory:
    return QString::fromStdString(finding->Directory.empty() ? "header" : finding->Directory);
  case Tag:
    return finding->Tag
               ? QString::fromStdString(lodestar::check::TagText(*finding->Tag, finding->Directory))
               : QString();
  case Position:
    return QString::number(finding->Offset);
  case Message:
    return QString::fromStdString(finding->Message);
  default:
    return {};
  }
}

QVariant TFindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const char* const Captions[] = {"Severity", "Rule",     "Directory",
                                         "Tag",      "Position", "Message"};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= ColumnCount)
    return {};
  return QString::fromLatin1(Captions[section]);
}
