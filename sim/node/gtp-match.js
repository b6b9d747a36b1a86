// A match between two GTP engines, run by @sabaki/gtp's controller (the one the
// Sabaki GUI uses): a series of games with colours swapped after each, as a
// match runner plays it. Engine A plays black in the first game. Each game's
// moves, as this controller saw them, go to OUT/controller-N.txt, one a line
// ("B D4", "W pass"); the engines' stderr is passed on. Exits 0 when every game
// ended on two passes in a row, 1 otherwise.
//   NODE_PATH=build/node/node_modules node gtp-match.js GAMES OUT -- A ARGS... -- B ARGS...
const {Controller} = require('@sabaki/gtp')
const fs = require('fs')
const path = require('path')

const [games, out, ...rest] = process.argv.slice(2)
const split = rest.indexOf('--', 1)
const commandA = rest.slice(1, split)
const commandB = rest.slice(split + 1)

function start(command, mark) {
  const engine = new Controller(command[0], command.slice(1))
  engine.on('stderr', ({content}) => process.stderr.write(`${mark} ${content}\n`))
  engine.start()
  return engine
}

async function ask(engine, name, args = []) {
  const response = await engine.sendCommand({name, args})
  if (response.error) throw new Error(`${name} ${args.join(' ')}: ${response.content}`)
  return response.content.trim()
}

async function main() {
  const a = start(commandA, '[A]')
  const b = start(commandB, '[B]')
  let failed = false
  for (let game = 1; game <= Number(games); ++game) {
    // Engine A is black in odd games.
    const black = game % 2 === 1 ? a : b
    const white = game % 2 === 1 ? b : a
    const moves = []
    try {
      for (const engine of [a, b]) {
        await ask(engine, 'boardsize', ['19'])
        await ask(engine, 'clear_board')
        await ask(engine, 'komi', ['6.5'])
      }
      let passes = 0
      for (let colour = 'B'; passes < 2 && moves.length < 600; colour = colour === 'B' ? 'W' : 'B') {
        const mover = colour === 'B' ? black : white
        const other = colour === 'B' ? white : black
        const vertex = await ask(mover, 'genmove', [colour])
        if (vertex.toLowerCase() === 'resign') throw new Error(`${colour} resigned`)
        await ask(other, 'play', [colour, vertex])
        moves.push(`${colour} ${vertex.toLowerCase() === 'pass' ? 'pass' : vertex.toUpperCase()}`)
        passes = vertex.toLowerCase() === 'pass' ? passes + 1 : 0
      }
      if (passes < 2) throw new Error('no end after 600 moves')
      console.log(`game ${game}: ${moves.length} moves, ${await ask(black, 'final_score')}`)
    } catch (e) {
      console.log(`game ${game}: stopped after ${moves.length} moves: ${e.message}`)
      failed = true
    }
    fs.writeFileSync(path.join(out, `controller-${game}.txt`), moves.join('\n') + '\n')
    if (failed) break
  }
  await Promise.all([a.stop(), b.stop()])
  process.exit(failed ? 1 : 0)
}

main()
