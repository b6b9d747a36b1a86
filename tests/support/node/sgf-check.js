// Reads an SGF record with @sabaki/sgf and replays it on @sabaki/go-board, as a
// Go program of someone else's would: a move on a stone, a suicide, the retaking
// of a ko or a move out of turn is an error. Prints
//   moves: B pd;W dp;B;...        (a colour alone is a pass)
//   comment: <the comment of the last node, if any>
// or "error: <why>", and exits 1 on an error.
//   NODE_PATH=build/node/node_modules node sgf-check.js FILE
const sgf = require('@sabaki/sgf')
const Board = require('@sabaki/go-board')

const moves = []
let comment = null
try {
  const [root] = sgf.parseFile(process.argv[2])
  const size = Number((root.data.SZ || ['19'])[0])
  let board = Board.fromDimensions(size)
  let next = 'B'
  for (let node = root; node; node = node.children[0]) {
    for (const colour of ['B', 'W']) {
      if (!node.data[colour]) continue
      if (colour !== next) throw new Error(`move ${moves.length + 1} is ${colour}, out of turn`)
      const value = node.data[colour][0]
      const vertex = sgf.parseVertex(value)
      if (value === '' || !board.has(vertex)) {
        moves.push(colour)
      } else {
        board = board.makeMove(colour === 'B' ? 1 : -1, vertex,
                               {preventSuicide: true, preventOverwrite: true, preventKo: true})
        moves.push(`${colour} ${value}`)
      }
      next = colour === 'B' ? 'W' : 'B'
    }
    if (node.data.C) comment = node.data.C[0]
  }
} catch (e) {
  console.log(`error: ${e.message.split('\n')[0]}`)
  process.exit(1)
}
console.log(`moves: ${moves.join(';')}`)
if (comment !== null) console.log(`comment: ${comment.split('\n').join(' ')}`)
