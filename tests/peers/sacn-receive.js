// SPDX-License-Identifier: GPL-3.0-or-later
// An sACN receiver nobody here wrote (the npm package sacn) on a loopback port of the
// system's choice: prints "listening <port>", then a line whenever the given slots of a
// universe change, and one for each packet that ends a stream.
// Usage: node sacn-receive.js UNIVERSE SLOT...
'use strict';
const { Receiver } = require('sacn');

const universe = Number(process.argv[2]);
const slots = process.argv.slice(3).map(Number);

// Listening to a universe makes the package join its multicast group, which fails where
// loopback carries no multicast. Unicast needs no group: start with none, and let the
// package's own universe filter take ours once the socket is bound and past joining.
const receiver = new Receiver({ universes: [], port: 0 });
receiver.on('error', (error) => console.log(`error ${error.message}`));
receiver.on('PacketCorruption', (error) => console.log(`corrupt ${error.message}`));
receiver.on('PacketOutOfOrder', (error) => console.log(`out-of-order ${error.message}`));
receiver.socket.once('listening', () => {
    receiver.universes.push(universe);
    console.log(`listening ${receiver.socket.address().port}`);
});

let last = '';
receiver.on('packet', (packet) => {
    const bytes = packet.payloadAsBuffer;
    const percent = packet.payload;
    const shown = slots.map((slot) => `${slot}=${bytes[slot - 1]}/${Math.round(percent[slot] || 0)}%`).join(' ');
    const line = `universe ${packet.universe} priority ${packet.priority} source "${packet.sourceName}" ${shown}`;
    if (packet.options & 0x40)
        console.log(`terminated ${line}`);
    else if (line !== last)
        console.log(line);
    last = line;
});
// Ends with the test, however it ends.
process.stdin.on('end', () => receiver.close(() => process.exit(0)));
process.stdin.resume();
