#!/usr/bin/env python3
"""Writes ../Help.rtf, the help file the viewer shows at a new user's first start.

The text lives here in a light markup; the banner picture is the about box's logo at its
shown size. Run from anywhere: python3 assets/help/make-help.py
"""
import pathlib
import subprocess

HERE = pathlib.Path(__file__).resolve().parent
ASSETS = HERE.parent


def rtf_text(s):
    out = []
    for ch in s:
        code = ord(ch)
        if ch in '\\{}':
            out.append('\\' + ch)
        elif code < 128:
            out.append(ch)
        else:
            try:
                b = ch.encode('cp1252')
                out.append("\\'%02x" % b[0])
            except UnicodeEncodeError:
                out.append('\\u%d?' % (code if code < 32768 else code - 65536))
    return ''.join(out)


def inline(s):
    """**bold** and *italic* runs."""
    out, i = [], 0
    while i < len(s):
        if s.startswith('**', i):
            j = s.index('**', i + 2)
            out.append('{\\b ' + rtf_text(s[i + 2:j]) + '}')
            i = j + 2
        elif s[i] == '*':
            j = s.index('*', i + 1)
            out.append('{\\i ' + rtf_text(s[i + 1:j]) + '}')
            i = j + 1
        else:
            j = min([k for k in (s.find('**', i), s.find('*', i)) if k >= 0] or [len(s)])
            out.append(rtf_text(s[i:j]))
            i = j
    return ''.join(out)


BODY = '\\pard\\sa120\\sl276\\slmult1\\f0\\fs19\\cf2 '


def heading(text):
    return '\\pard\\keepn\\sb280\\sa100\\f1\\fs28\\b\\cf1 ' + rtf_text(text) + '\\b0\\par\n'


def para(text):
    return BODY + inline(text) + '\\par\n'


def bullets(items):
    out = []
    for item in items:
        out.append('\\pard\\ls1\\fi-300\\li600\\sa60\\f0\\fs19\\cf2 {\\listtext\\f0\\fs19 \\bullet\\tab}'
                   + inline(item) + '\\par\n')
    return ''.join(out)


def table(rows):
    out = []
    for n, (a, b) in enumerate(rows):
        shade = '\\clcbpat3' if n == 0 else ''
        out.append('\\trowd\\trgaph100\\trleft120\\trbrdrb\\brdrs\\brdrw10\\brdrcf4 '
                   + shade + '\\clbrdrb\\brdrs\\brdrw10\\brdrcf4\\cellx2700'
                   + shade + '\\clbrdrb\\brdrs\\brdrw10\\brdrcf4\\cellx9600\n')
        out.append('\\pard\\intbl\\sa40\\f0\\fs18\\cf2 \\b ' + inline(a) + '\\b0\\cell '
                   + ('\\b ' if n == 0 else '') + inline(b) + ('\\b0' if n == 0 else '') + '\\cell\\row\n')
    out.append('\\pard\\sa120\\par\n')
    return ''.join(out)


def picture(path, width_px, height_px):
    data = path.read_bytes().hex()
    lines = '\n'.join(data[i:i + 128] for i in range(0, len(data), 128))
    return ('\\pard\\qc\\sa200{\\pict\\pngblip\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\n%s}\\par\n'
            % (width_px, height_px, width_px * 15, height_px * 15, lines))


def document():
    banner = HERE / 'banner.png'
    subprocess.run(['convert', str(ASSETS / 'about-logo.png'), '-resize', '501x69', '-strip',
                    'PNG24:' + str(banner)], check=True)
    parts = [
        '{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057\n',
        '{\\fonttbl{\\f0\\fswiss\\fcharset0 Verdana;}{\\f1\\fswiss\\fcharset0 Arial;}}\n',
        '{\\colortbl;\\red31\\green79\\blue140;\\red40\\green40\\blue40;\\red222\\green233\\blue247;'
        '\\red142\\green170\\blue208;}\n',
        '{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23\\levelstartat1'
        '{\\leveltext\\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-300\\li600}\\listid1}}\n',
        '{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\n',
        '{\\info{\\title Keyloft Help}}\n',
        '\\viewkind4\\uc1\n',
        picture(banner, 501, 69),
        '\\pard\\qc\\sa240\\f1\\fs40\\b\\cf1 Welcome to Keyloft\\b0\\par\n',
        para('Keyloft keeps your accounts in one place: for each one the **user name**, the **password** '
             'and the **location** where you use them, such as a web site. You open the list with one '
             'master password, and from there you can add, change and remove entries, copy a user name '
             'or password to paste it elsewhere, and open a location with one click.'),
        para('This help opens every time Keyloft starts. When you know your way around, clear '
             '**Show at Startup** at the bottom of this window; **Help > View Help** brings it back '
             'whenever you want it.'),
        heading('Your master password'),
        para('The first time you start Keyloft it asks you to create a master password. Type it twice, '
             'the same both times; it must be at least **4 characters** long. Choose one you will not '
             'forget: it can not be reset, and without it the list can not be opened.'),
        para('At every later start Keyloft asks for the master password. Letters must match in case, '
             'and spaces count. You have **three tries**; after the third wrong one Keyloft closes, '
             'and you can simply start it again.'),
        heading('The main window'),
        para('The list shows one entry per row. Click a row to select it; most commands act on the '
             'selected entry. Every button has a menu command too.'),
        table([
            ('Command', 'What it does'),
            ('Add', 'Opens the editor for a new entry (**Data > Add Username/Password**).'),
            ('Edit', 'Opens the editor with the selected entry, to change it (**Data > Edit Selected Item**).'),
            ('Delete', 'Removes the selected entry after you confirm it (**Data > Delete Selected Item**).'),
            ('Go To', 'Opens the selected entry\u2019s location: a web address in your browser, a folder '
                      'or file with the program your desktop uses for it.'),
            ('Copy Username', 'Puts the selected user name on the clipboard (**Copy > Selected Username**).'),
            ('Copy Password', 'Puts the selected password on the clipboard (**Copy > Selected Password**).'),
            ('Copy Used At', 'Puts the selected location on the clipboard (**Copy > Selected Used At Location**).'),
            ('Visit', 'Opens Keyloft\u2019s own web site in a small browser window.'),
            ('Data > Find', 'Finds an entry by any part of its user name, password or location (**Ctrl+F**).'),
            ('File > Lock', 'Hides every Keyloft window until you type the master password again.'),
            ('File > Encrypt Vault', 'Encrypts data.enc with a key made from your master password '
                                     '(**File > Remove Encryption** turns it off again).'),
            ('File > Change Master Password', 'Sets a new master password; type the current one first.'),
            ('File > Import', 'Adds the entries of a CSV export of a browser or another keeper, or of another data.enc.'),
            ('File > Export', 'Writes every entry to a CSV file that browsers and other keepers import.'),
            ('File > Exit', 'Closes Keyloft. Every change is already saved.'),
        ]),
        para('The line at the bottom of the window tells you what the last command did, for example '
             'that the entries were saved, or why something could not be done.'),
        heading('Adding and changing entries'),
        para('The editor has three boxes: **Username**, **Password** and **Website**. The password is shown '
             'as you type it, so that you can check it. User name and password must not be empty; the '
             'location may be. Press **Save** (or Enter in the Website box) to keep the entry, or '
             '**Cancel** to leave everything as it was.'),
        para('Keyloft saves the whole list the moment you save an entry or confirm a delete; there is no '
             'separate Save command. If a save fails, for example because the disk is full, the line at '
             'the bottom says so, the editor stays open with what you typed, and the file keeps its '
             'earlier content.'),
        para('**Generate** in the editor makes a new, random password. Choose its length (4 to 128) and '
             'which kinds of characters it may hold; every kind you choose is used at least once, and '
             '**Avoid look-alikes** leaves out I, l, 1, O and 0. The line under the password says how '
             'strong it is. **New** makes another, **Use** puts it into the editor\u2019s Password box: it '
             'is kept only when you press **Save**. Keyloft remembers your choices for the next time.'),
        para('When you choose a new master password (**File > Change Master Password**) or encrypt the '
             'vault, the same strength line under the box tells you how hard the password is to guess.'),
        heading('Finding an entry'),
        para('**Data > Find** (or **Ctrl+F**) opens a small window that stays in front of the list. Type '
             'any part of a user name, password or location and press **Find Next** (or Enter): Keyloft '
             'selects the next entry that holds it, below the selected one in the order the list shows, '
             'and goes on from the top when it reaches the end. Letters match in either case unless you '
             'tick **Match case**. When no entry holds the text, the line at the bottom says so. Escape '
             'closes the window.'),
        heading('Moving in and out'),
        para('To move in from a browser or another password keeper, export its passwords there as a CSV '
             'file, then choose **File > Import** and pick the file. Keyloft knows the exports of Firefox, '
             'Chrome, Edge, Brave, Opera, Safari, Bitwarden, KeePassXC, 1Password, LastPass, Proton Pass '
             'and its own, and another Keyloft data.enc. Before anything is written it says how many '
             'entries come in and which rows are left out (without a password, already in your vault, or '
             'with characters Keyloft cannot store); **OK** adds them after your entries. Delete the '
             'exported file afterwards: it holds every password readable.'),
        para('**File > Export** writes every entry to a CSV file (name, url, username, password, note) '
             'that browsers and other keepers import. The file holds every password readable, so Keyloft '
             'asks first; keep the file private and delete it when you are done.'),
        heading('Locking'),
        para('Keyloft locks when you choose **File > Lock**, after 10 minutes without a key press or a '
             'click in its windows, when your desktop locks the screen, and before the computer sleeps. '
             'Locked, every Keyloft window is hidden and the entries are gone from memory; the master '
             'password dialog brings them back, with any changes made meanwhile. What you were typing in '
             'the editor is kept. The minutes are **lockAfterMinutes** under **[Settings]** in '
             'Keyloft.ini (0 turns the timer off).'),
        heading('Sorting'),
        para('Click a column header (**Username**, **Password** or **Website/Location**) to sort the list '
             'by that column; click it again to reverse the order. Case and accents do not change the '
             'order. The sorted order is the order Keyloft saves from then on.'),
        heading('Using the keyboard'),
        bullets([
            '**Tab** and **Shift+Tab** move between the buttons, the list and the boxes.',
            '**Enter** in a password box is the same as **Ok**; in the editor\u2019s Website box it saves.',
            '**Space** presses the button that has the focus.',
            'In the list, the **arrow keys**, **Page Up**, **Page Down**, **Home** and **End** move the selection.',
            'In a message box, **Enter** chooses the highlighted answer and **Escape** cancels where it can.',
        ]),
        heading('Where your data lives, and how to back it up'),
        para('Everything Keyloft keeps is in one file, **data.enc**, in the same folder as the program '
             'itself. To make a backup, close Keyloft and copy data.enc somewhere safe: another disk, a '
             'USB stick you keep at home. To restore it, close Keyloft and copy the file back. Keep '
             'the copy as private as the original.'),
        para('Only one Keyloft at a time can use the file; a second one tells you so and closes.'),
        heading('How safe is the file?'),
        para('Keyloft scrambles every line of data.enc so that your passwords can not be read at a '
             'glance. That is **not encryption**: anyone who gets a copy of the file and knows how it is '
             'scrambled can read it, the master password included. Keyloft creates the file so that only '
             'your user account can read it; keep it that way, do not share the folder, and treat every '
             'backup copy as you would treat the passwords themselves.'),
        para('For real protection choose **File > Encrypt Vault**. Keyloft then encrypts the whole file '
             'with a key made from your master password, and nobody can read a copy of it, a backup or a '
             'synced file without that password. Only Keyloft can open an encrypted vault, and if you '
             'forget the password nothing can bring the entries back: keep a backup. Encryption does not '
             'help against a program that runs as you while Keyloft is open, or one that records your keys.'),
        para('Right after encrypting, Keyloft offers to choose a new master password: the current one can '
             'still be read in every earlier, unencrypted copy of data.enc, such as a backup or a synced '
             'folder. The **File > Remove Encryption** dialog says that the master password and every entry '
             'will be readable again.'),
        para('Keyloft remembers which data.enc it last left encrypted. If that file is later found empty or '
             'missing, it asks before it makes a new, empty vault: **No** closes Keyloft without writing '
             'anything, so that you can copy your backup back; **Yes** creates the new vault encrypted from '
             'the start, so that its master password is never written readable.'),
        para('After you copy a user name or password, Keyloft empties the clipboard again after 30 '
             'seconds, and when it closes, unless you have copied something else since.'),
        heading('One vault on several machines'),
        para('Encrypt the vault first, then put data.enc in a folder that a sync program (Syncthing, '
             'Nextcloud, Dropbox) keeps the same on your machines, with a link to it from each program '
             'folder. Keyloft reads the file again before every save and whenever it changes, so a change '
             'made on another machine is never lost. When both machines changed it before a sync, Keyloft '
             'offers to merge the copy the sync program left beside it. If the same entry was changed on '
             'both, both versions are kept; delete the one you do not want.'),
        '\\pard\\qc\\sb240\\f0\\fs16\\cf2 Keyloft 1.0 \\emdash  Loftwright Labs \\emdash  www.keyloft.app\\par\n',
        '}\n',
    ]
    banner.unlink()
    return ''.join(parts)


(ASSETS / 'Help.rtf').write_text(document(), encoding='ascii', newline='\r\n')
