/* The framework's published identifiers: child windows it looks for, the
 * command its print preview sends, the resource type of a toolbar layout,
 * and the strings it takes from the application's string table. The
 * application's identifier header includes this one; plain #defines, since
 * the resource compiler reads them too. */
#ifndef FW_RESOURCE_H
#define FW_RESOURCE_H

/* Child windows of a frame. */
#define AFX_IDW_TOOLBAR         0xE800  /* the first toolbar */
#define AFX_IDW_PANE_FIRST      0xE900  /* the first pane: the view */

/* The standard File > Print command, which the preview's Print sends. */
#define ID_FILE_PRINT           0xE107

/* Resource type of a toolbar layout (version, button size, command per
 * slot, 0 for a separator). */
#define RT_TOOLBAR              241

/* Strings the application provides in its string table, in each of its
 * languages. */
#define AFX_IDS_APP_TITLE       0xE000  /* caption of message boxes, name of print jobs */
#define AFX_IDS_PREVIEW_TITLE   0xE010  /* the print preview window */
#define AFX_IDS_PREVIEW_PRINT   0xE011  /* its button that prints the page */
#define AFX_IDS_PREVIEW_ZOOM_IN 0xE012  /* its buttons that zoom the sheet */
#define AFX_IDS_PREVIEW_ZOOM_OUT 0xE013
#define AFX_IDS_PREVIEW_CLOSE   0xE014  /* its button that closes it */

#endif /* FW_RESOURCE_H */
