// Runs the fake desk server with a few windows, for working on the page.
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { FakeDesk } from '../lib/fake-desk.mjs';
const here = path.dirname(fileURLToPath(import.meta.url));
const desk = await new FakeDesk({ assets: path.join(here, '../../assets/desk'), pages: path.join(here, '../pages') }).Start();
const con = desk.Create({ title: 'Seatwatch - Console', rect: { left: 20, top: 20, right: 520, bottom: 380 } });
desk.SetMenu(con, [{ text: '&File', command: 0, children: [{ text: '&Exit', command: 131 }] }, { text: '&View', command: 0, children: [{ text: '&Manual Calculator', command: 32777 }, { text: '&Report Window', command: 32799 }, { separator: true, text: '' }, { text: '&System Information', command: 32784 }] }, { text: '&Help', command: 0, children: [{ text: '&FAQ', command: 32786 }] }]);
desk.Navigate(con, '/console.htm');
const t = desk.Create({ title: 'Table Alpha <b>x</b>', rect: { left: 560, top: 40, right: 860, bottom: 260 } });
desk.Navigate(t, '/table.htm');
const g = desk.Create({ kind: 'painted', title: 'Graph', rect: { left: 300, top: 300, right: 700, bottom: 560 } });
desk.Paint(g, '<svg xmlns="http://www.w3.org/2000/svg" width="400" height="236"><rect width="400" height="236" fill="#fff"/><polyline points="10,200 80,150 160,170 240,90 390,40" fill="none" stroke="#2d6cb0" stroke-width="2"/><text x="10" y="20" font-size="12">Winnings</text></svg>');
console.log(desk.url);
if (process.argv[2] === 'dialog') desk.RunDialog(con, { title: 'General Options', rect: { left: 400, top: 150, right: 860, bottom: 480 }, controls: [
  { id: 10, kind: 'groupbox', text: 'Game Tracker Options', rect: { left: 10, top: 8, right: 450, bottom: 110 } },
  { id: 1127, kind: 'radio', text: 'Attach/detach based on screen resolution and poker room table size (Recommended)', checked: true, rect: { left: 22, top: 28, right: 440, bottom: 48 } },
  { id: 1128, kind: 'radio', text: 'Never attach Game Tracker to poker table', rect: { left: 22, top: 52, right: 440, bottom: 72 } },
  { id: 1129, kind: 'radio', text: 'Always attach Game Tracker to poker table', rect: { left: 22, top: 76, right: 440, bottom: 96 } },
  { id: 1111, kind: 'checkbox', text: '&Reuse the same window when displaying graphs', rect: { left: 22, top: 120, right: 440, bottom: 140 } },
  { id: 20, kind: 'edit', text: 'C:\\Hands', rect: { left: 22, top: 150, right: 300, bottom: 172 } },
  { id: 21, kind: 'dropdownlist', items: ['PokerStars', 'Full Tilt'], selection: 0, rect: { left: 310, top: 150, right: 440, bottom: 172 } },
  { id: 30, kind: 'static', text: 'Changes will take effect once you restart the software.', rect: { left: 22, top: 186, right: 440, bottom: 222 } },
  { id: 1, kind: 'button', text: 'OK', rect: { left: 270, top: 260, right: 350, bottom: 286 } },
  { id: 2, kind: 'button', text: 'Cancel', rect: { left: 360, top: 260, right: 440, bottom: 286 } }] });
if (process.argv[2] === 'box') desk.MessageBox(con, 'Reports will be available once the software initialization is complete.', 'Seatwatch', 'okcancel');
setInterval(() => desk.Navigate(t, '/table.htm'), 2000);
