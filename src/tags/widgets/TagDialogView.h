// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/ScreenshotRecord.h"
#include "tags/TagItem.h"

#include <QImage>
#include <QList>
#include <QWidget>

#include <functional>

class AppSettings;
class FlowLayout;
class QAbstractButton;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TagChipView;
class TagLists;

// Tags one screenshot: pick from the favourite, recent and standard tags or type a new one
// with a colour, then Done writes the names to the file, the index entry and the recent list.
// Skip and Annotate write nothing. Main thread only.
class TagDialogView : public QWidget
{
    Q_OBJECT

public:
    enum class Section { favorites, recent, standard };
    static inline const QString commaMessage = QStringLiteral("Tag names cannot contain a comma");

    TagDialogView(const ScreenshotRecord &record, AppSettings &settings, QWidget *parent = nullptr);
    ~TagDialogView() override;

    // Closes the dialog; run by Skip, Annotate and Done.
    std::function<void()> onDismiss;

    const ScreenshotRecord &record() const { return m_record; }
    const QList<TagItem> &appliedTags() const { return m_applied; }
    const QList<TagItem> &systemTags() const { return m_systemTags; }
    QString searchText() const;
    void setSearchText(const QString &text);
    qint64 newTagColorIndex() const { return m_newColor; }
    void setNewTagColorIndex(qint64 index);

    // The tags of the list whose name holds the search text, ignoring letter case.
    QList<TagItem> filterTags(const QList<TagItem> &list) const;
    // Whether the trimmed search text names a new tag that files can hold.
    bool canCreateTag() const;
    // The search text without leading and trailing spaces and tabs.
    QString trimmedSearchText() const;
    void createTag(const QString &name, qint64 colorIndex);
    void toggleTag(const TagItem &tag);
    void removeAppliedTag(const TagItem &tag);
    // Return in the search field: creates the typed tag, or with nothing typed is Done.
    void submitSearch();
    void skip();
    void annotate();
    void applyTags();

    // What is on screen, for the keyboard, screen readers and tests.
    QLineEdit *searchField() const { return m_search; }
    bool createRowShown() const;
    QString createRowText() const;
    bool commaMessageShown() const;
    QList<QAbstractButton *> colorDots() const { return m_dots; }
    QList<TagChipView *> appliedChips() const;
    bool sectionShown(Section section) const;
    QString sectionTitle(Section section) const;
    // The section's chips that the search leaves on screen, in order.
    QList<TagChipView *> sectionChips(Section section) const;
    QPushButton *button(const QString &text) const;
    // The one-item menu of a section chip.
    QMenu *contextMenuFor(TagChipView *chip);
    bool thumbnailLoaded() const { return !m_thumbnail.isNull(); }
    const QImage &thumbnail() const { return m_thumbnail; }

signals:
    void thumbnailReady();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct SectionView
    {
        QWidget *box = nullptr;
        FlowLayout *flow = nullptr;
        QList<TagChipView *> chips;
        QStringList foldedNames;
    };

    void buildHeader(class QVBoxLayout *layout);
    QWidget *buildCreateRow();
    void buildSections(class QVBoxLayout *layout);
    void loadThumbnail();
    void rebuildSection(Section section, const QList<TagItem> &tags);
    void rebuildLists();
    void rebuildApplied();
    void searchChanged();
    void updateSelection();
    void updateCreateRow();
    void updateTabOrder();
    void dismiss();

    ScreenshotRecord m_record;
    AppSettings &m_settings;
    std::unique_ptr<TagLists> m_lists;
    QList<TagItem> m_applied;
    QList<TagItem> m_systemTags;
    bool m_systemLoaded = false;
    qint64 m_newColor = 0;
    QImage m_thumbnail;

    class TagThumbnailView *m_thumbnailView = nullptr;
    QLabel *m_noTags = nullptr;
    QWidget *m_appliedBox = nullptr;
    FlowLayout *m_appliedFlow = nullptr;
    QLineEdit *m_search = nullptr;
    QWidget *m_createRow = nullptr;
    QAbstractButton *m_createButton = nullptr;
    QLabel *m_commaLabel = nullptr;
    QList<QAbstractButton *> m_dots;
    SectionView m_sections[3];
    QPushButton *m_skip = nullptr;
    QPushButton *m_annotate = nullptr;
    QPushButton *m_done = nullptr;
};
