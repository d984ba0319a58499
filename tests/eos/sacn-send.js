// SPDX-License-Identifier: GPL-3.0-or-later
// Sends levels on one universe with the npm package sacn's Sender, a few times a second,
// until the test is done with it (or ten seconds have passed); DESTINATION is an IPv4
// address, or "multicast" for the universe's group.
//   node sacn-send.js NODE_MODULES DESTINATION PORT UNIVERSE SLOT=LEVEL...
'use strict';
const path = require('path');
const [modules, destination, port, universe, ...pairs] = process.argv.slice(2);
const { Sender } = require(path.join(modules, 'sacn'));

const payload = {};
for (const pair of pairs) {
  const [slot, level] = pair.split('=').map(Number);
  payload[slot] = level;
}
const sender = new Sender({
  universe: Number(universe),
  port: Number(port),
  useUnicastDestination: destination === 'multicast' ? undefined : destination,
  defaultPacketOptions: { sourceName: 'Interop sender', priority: 150, useRawDmxValues: true },
});
const send = () => sender.send({ payload }).catch((error) => console.error(error.message));
send();
const repeat = setInterval(send, 100);
console.log('sending');
setTimeout(() => {
  clearInterval(repeat);
  sender.close();
}, 10000);
