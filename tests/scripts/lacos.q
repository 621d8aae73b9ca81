* REPETE conta de 1 até o limite e deixa o contador uma volta além.
repete i 3
  escreve "i " i
fim repete
escreve "depois i " i
repete j 0
  escreve "nunca"
fim repete
escreve "depois j " j
enquanto 1 = 2
  escreve "nunca"
fim enquanto
* ENQUANTO dentro de REPETE e REPETE dentro de ENQUANTO.
repete i 2
  seja n 0
  enquanto n < 2
    soma n 1
    escreve i "." n
  fim enquanto
fim repete
seja n 0
enquanto n < 2
  soma n 1
  repete k n
    escreve n ":" k
  fim repete
fim enquanto
* O limite é lido de novo em cada volta.
seja $lim 2
repete i $lim
  escreve "volta " i
  seja $lim 3
fim repete
* FIM com outra palavra, e FIM SE, não fazem nada.
fim xyz
fim se
* O laço do tradutor: continua enquanto a linha lida não traz a marca entre aspas.
lista [L] cria
lista [L] adiciona "<div>"
lista [L] adiciona "<div class=result-container>"
lista [L] adiciona "<div class=""result-container"">"
seja $i 0
seja $resultado ""
enquanto não $resultado *=* """result-container"""
  lista [L] item $i $resultado
  soma $i 1
fim enquanto
escreve "marca na linha " $i ": " $resultado
